#include <course/shell/KeyOverlay.h>

#include <course/textruns/FontTable.h>

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace course {

namespace {
const QString kFont = QStringLiteral("メイリオ");
constexpr int kPad = 16;    // inside the panel
constexpr int kColumn = 24; // between the key and its meaning
constexpr int kRowGap = 2;
} // namespace

QString KeyOverlay::title() { return QStringLiteral("キー操作"); }
QString KeyOverlay::hint() { return QStringLiteral("何かキーを押すかクリックすると閉じます"); }

KeyOverlay::KeyOverlay(QWidget* window, std::vector<KeyRow> rows) : QWidget(window), rows_(std::move(rows)) {
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(title());
    hide();
}

QFont KeyOverlay::rowFont() const { return FontTable::makeFont(kFont, 10.5, false, false, logicalDpiY()); }
QFont KeyOverlay::titleFont() const { return FontTable::makeFont(kFont, 12, true, false, logicalDpiY()); }

KeyOverlay::Layout KeyOverlay::layout() const {
    const QFontMetrics fm(rowFont(), const_cast<KeyOverlay*>(this));
    const QFontMetrics tm(titleFont(), const_cast<KeyOverlay*>(this));
    const int rowH = fm.height() + kRowGap;
    int keyW = 0, meaningW = 0;
    for (const KeyRow& r : rows_) {
        keyW = std::max(keyW, fm.horizontalAdvance(r.keys));
        meaningW = std::max(meaningW, fm.horizontalAdvance(r.meaning));
    }
    const int titleH = tm.height();
    const int hintW = fm.horizontalAdvance(hint());
    const int innerW = std::max({keyW + kColumn + meaningW, tm.horizontalAdvance(title()), hintW});
    const int innerH = titleH + kPad / 2 + int(rows_.size()) * rowH + kPad / 2 + fm.height();
    Layout L;
    L.panel = QRect(0, 0, innerW + 2 * kPad, innerH + 2 * kPad);
    L.panel.moveCenter(rect().center());
    L.panel.moveTop(std::max(0, L.panel.top()));
    L.panel.moveLeft(std::max(0, L.panel.left()));
    const int x = L.panel.left() + kPad;
    int y = L.panel.top() + kPad;
    L.title = QRect(x, y, innerW, titleH);
    y += titleH + kPad / 2;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        L.keys.emplace_back(x, y, keyW, fm.height());
        L.meanings.emplace_back(x + keyW + kColumn, y, meaningW, fm.height());
        y += rowH;
    }
    y += kPad / 2;
    L.hint = QRect(x, y, innerW, fm.height());
    return L;
}

void KeyOverlay::open() {
    if (QWidget* w = parentWidget())
        setGeometry(w->rect());
    open_ = true;
    show();
    raise();
    update();
}

void KeyOverlay::close() {
    open_ = false;
    hide();
}

void KeyOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 96));
    const Layout L = layout();
    p.setPen(QColor(80, 80, 120));
    p.setBrush(QColor(250, 250, 255));
    p.drawRect(L.panel.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.setFont(titleFont());
    p.drawText(L.title, Qt::AlignLeft | Qt::AlignVCenter, title());
    p.setFont(rowFont());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        p.setPen(QColor(0, 0, 160));
        p.drawText(L.keys[i], Qt::AlignLeft | Qt::AlignVCenter, rows_[i].keys);
        p.setPen(Qt::black);
        p.drawText(L.meanings[i], Qt::AlignLeft | Qt::AlignVCenter, rows_[i].meaning);
    }
    p.setPen(QColor(96, 96, 96));
    p.drawText(L.hint, Qt::AlignLeft | Qt::AlignVCenter, hint());
}

// A click anywhere closes the overview and reaches nothing beneath it.
void KeyOverlay::mousePressEvent(QMouseEvent* e) { e->accept(); }
void KeyOverlay::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    close();
}
void KeyOverlay::wheelEvent(QWheelEvent* e) { e->accept(); }

} // namespace course
