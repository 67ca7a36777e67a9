// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/KeyOverlay.h>

#include <engine/shell/PageAccessible.h>
#include <engine/textruns/FontTable.h>

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace course {

namespace {
const QString kFont = QStringLiteral("メイリオ");
constexpr int kPad = 16;    // inside the panel
constexpr int kColumn = 24; // between the key and its meaning
constexpr int kRowGap = 2;
} // namespace

QString KeyOverlay::title() { return tr("Keys"); }
QString KeyOverlay::hint() { return tr("Press any key or click to close"); }

KeyOverlay::KeyOverlay(FontTable& fonts, QWidget* window, Rows rows, std::function<double()> scale)
    : QWidget(window), fonts_(fonts), rows_(std::move(rows)), scale_(std::move(scale)) {
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    if (window)
        window->installEventFilter(this);
    // Screen readers read the rows as lines of text.
    PageAccessible::expose(this, {QAccessible::Dialog, [] { return title(); }, [] { return hint(); },
                                  [this] {
                                      PageTextLayout text;
                                      for (const KeyRow& r : this->rows())
                                          text.text += r.keys + QStringLiteral(": ") + r.meaning + u'\n';
                                      text.text.chop(1);
                                      return text;
                                  }});
}

QFont KeyOverlay::rowFont() const { return fonts_.font(kFont, 10.5 * scale(), false, false, logicalDpiY()); }
QFont KeyOverlay::titleFont() const { return fonts_.font(kFont, 12 * scale(), true, false, logicalDpiY()); }
int KeyOverlay::scaled(int v) const { return int(std::lround(v * scale())); }

KeyOverlay::Layout KeyOverlay::layout() const {
    auto* self = const_cast<KeyOverlay*>(this);
    const std::vector<KeyRow> rows = open_ ? shown_ : this->rows();
    const int pad = scaled(kPad), column = scaled(kColumn), rowGap = scaled(kRowGap);
    const QFontMetrics fm(rowFont(), self);
    const QFontMetrics tm(titleFont(), self);
    // Measured as drawText lays the text out, so that every glyph has room.
    auto extent = [](const QFontMetrics& m, const QString& s) {
        return m.boundingRect(QRect(0, 0, 4000, 4000), Qt::AlignLeft | Qt::AlignTop, s).size();
    };
    int keyW = 0, meaningW = 0, textH = extent(fm, hint()).height();
    for (const KeyRow& r : rows) {
        const QSize k = extent(fm, r.keys), m = extent(fm, r.meaning);
        keyW = std::max(keyW, k.width());
        meaningW = std::max(meaningW, m.width());
        textH = std::max({textH, k.height(), m.height()});
    }
    const QSize titleSize = extent(tm, title());
    const QSize hintSize = extent(fm, hint());
    const int rowH = textH + rowGap;
    const int innerW = std::max({keyW + column + meaningW, titleSize.width(), hintSize.width()});
    const int innerH = titleSize.height() + pad / 2 + int(rows.size()) * rowH + pad / 2 + textH;
    Layout L;
    L.panel = QRect(0, 0, innerW + 2 * pad, innerH + 2 * pad);
    L.panel.moveCenter(rect().center());
    L.panel.moveTop(std::max(0, L.panel.top()));
    L.panel.moveLeft(std::max(0, L.panel.left()));
    const int x = L.panel.left() + pad;
    int y = L.panel.top() + pad;
    L.title = QRect(x, y, innerW, titleSize.height());
    y += titleSize.height() + pad / 2;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        L.keys.emplace_back(x, y, keyW, textH);
        L.meanings.emplace_back(x + keyW + column, y, meaningW, textH);
        y += rowH;
    }
    y += pad / 2;
    L.hint = QRect(x, y, innerW, textH);
    return L;
}

void KeyOverlay::open() {
    shown_ = rows();
    if (QWidget* w = parentWidget())
        setGeometry(w->rect());
    open_ = true;
    show();
    raise();
    update();
    QAccessibleEvent shown(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
}

bool KeyOverlay::eventFilter(QObject* watched, QEvent* e) {
    if (open_ && e->type() == QEvent::Resize && watched == parentWidget())
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, e);
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
    for (std::size_t i = 0; i < shown_.size() && i < L.keys.size(); ++i) {
        p.setPen(QColor(0, 0, 160));
        p.drawText(L.keys[i], Qt::AlignLeft | Qt::AlignVCenter, shown_[i].keys);
        p.setPen(Qt::black);
        p.drawText(L.meanings[i], Qt::AlignLeft | Qt::AlignVCenter, shown_[i].meaning);
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
