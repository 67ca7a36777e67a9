// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/ShellWindow.h>

#include <engine/shell/Label.h>
#include <engine/shell/PageAccessible.h>
#include <engine/shell/PageExport.h>
#include <engine/textruns/Units.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace course {

namespace {
// The scroll area's viewport: around a page smaller than the window it shows the
// client area's back colour, whatever the program set it to.
class Margin : public QWidget {
public:
    explicit Margin(const Surface& client) : client_(client) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), toQColor(client_.BackColor)); }

private:
    const Surface& client_;
};

const QString kSizeKey = QStringLiteral("window/size");
constexpr int kSaveDelayMs = 400; // a drag by hand is saved once it rests
constexpr int kWheelStep = 120;   // one notch of a wheel
} // namespace

void nameApplication(const QString& program) {
    QCoreApplication::setOrganizationName(QStringLiteral("quantum-course"));
    QCoreApplication::setApplicationName(program);
}

const std::vector<double>& ShellWindow::scaleSteps() {
    static const std::vector<double> steps = {0.5, 0.67, 0.75, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
    return steps;
}

double ShellWindow::stepFrom(double scale, int direction) {
    const std::vector<double>& steps = scaleSteps();
    // A scale that fits a window by hand lies between steps: the next step is the
    // nearest one beyond it, so every step changes the scale.
    constexpr double eps = 1e-6;
    if (direction > 0) {
        for (double s : steps)
            if (s > scale + eps)
                return s;
        return steps.back();
    }
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        if (*it < scale - eps)
            return *it;
    return steps.front();
}

ShellWindow::ShellWindow(FontTable& fonts, QSize clientSize, QWidget* parent)
    : QWidget(parent), fonts_(fonts), clientSize_(clientSize), scroll_(new QScrollArea(this)),
      client_(new SurfaceView(fonts)) {
    scroll_->setViewport(new Margin(client_->surface()));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setWidgetResizable(false);
    scroll_->setWidget(client_);
    client_->placeAt(QRect(QPoint(0, 0), clientSize_), 1.0);
    resize(clientSize_);
    expected_ = clientSize_;
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &ShellWindow::saveSize);
    // Key preview: the window sees every key press, whichever control has the focus.
    qApp->installEventFilter(this);
    // Focus goes to the pages and the labels that act, never to the frame around them.
    scroll_->setFocusPolicy(Qt::NoFocus);
    client_->setFocusPolicy(Qt::NoFocus);
    // To assistive technology the window is a frame named by its title.
    PageAccessible::expose(this, {QAccessible::Window, [this] { return windowTitle(); }, {}});
}

ShellWindow::~ShellWindow() {
    if (qApp)
        qApp->removeEventFilter(this);
}

void ShellWindow::place(QWidget* w, const QRect& design) {
    design_.insert(w, design);
    if (!dynamic_cast<ClientControl*>(w))
        designFont_.insert(w, w->font());
    placeOne(w, design);
}

void ShellWindow::placeOne(QWidget* w, const QRect& design) {
    if (auto* c = dynamic_cast<ClientControl*>(w)) {
        c->placeAt(design, scale_);
        return;
    }
    // A plain widget (a message) keeps its place and its font's proportion.
    QFont f = designFont_.value(w);
    f.setPointSizeF(f.pointSizeF() * scale_);
    w->setFont(f);
    w->setGeometry(scaledRect(design, scale_));
}

void ShellWindow::paintClientArea(QPainter& p) const {
    std::vector<std::pair<const ClientControl*, QRect>> shown;
    bool beyond = false; // a control reaches past the client area, which cuts it off
    for (QObject* child : client_->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        const auto* c = dynamic_cast<const ClientControl*>(child);
        if (!w || !c || !w->isVisibleTo(client_) || !design_.contains(w))
            continue;
        shown.emplace_back(c, design_.value(w));
        beyond = beyond || !QRect(QPoint(0, 0), clientSize_).contains(shown.back().second);
    }
    if (beyond) {
        p.save();
        p.setClipRect(QRect(QPoint(0, 0), clientSize_));
    }
    client_->paintTo(p);
    for (const auto& [c, r] : shown) {
        p.save();
        p.translate(r.topLeft());
        c->paintTo(p);
        p.restore();
    }
    if (beyond)
        p.restore();
}

QImage ShellWindow::clientImage(double dpr) const {
    return renderImage(clientSize_, dpr, 0xFFFFFF, [this](QPainter& p) { paintClientArea(p); });
}

Outcome ShellWindow::exportClientPng(const QString& file, double dpr) const {
    return savePng(clientImage(dpr), file);
}

QByteArray ShellWindow::clientPng(double dpr) const { return pngBytes(clientImage(dpr)); }

Outcome ShellWindow::clientPdf(QByteArray& out, const QString& title, const QString& creator) const {
    return pdfBytes(out, {{clientSize_, [this](QPainter& p) { paintClientArea(p); }}}, title, creator,
                    int(units::kLogicalDpi));
}

Outcome ShellWindow::exportClientPdf(const QString& file, const QString& title,
                                     const QString& creator) const {
    return writePdf(file, {{clientSize_, [this](QPainter& p) { paintClientArea(p); }}}, title, creator,
                    int(units::kLogicalDpi));
}

double ShellWindow::fitScale(QSize area) const {
    const double s =
        std::min(double(area.width()) / clientSize_.width(), double(area.height()) / clientSize_.height());
    return std::clamp(s, minScale(), maxScale());
}

QSize ShellWindow::availableSize() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return QSize(1 << 14, 1 << 14);
    // The frame the window manager adds stays on screen too.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    return s->availableGeometry().size() - frame;
}

QSize ShellWindow::sizeForScale(double scale, QSize available) const {
    const QSize want = scaledRect(QRect(QPoint(0, 0), clientSize_), scale).size();
    return want.boundedTo(available);
}

void ShellWindow::applyScale(double scale) {
    if (scale == scale_ && client_->size() == scaledRect(QRect(QPoint(0, 0), clientSize_), scale).size())
        return;
    scale_ = scale;
    client_->setUpdatesEnabled(false);
    client_->placeAt(QRect(QPoint(0, 0), clientSize_), scale_);
    for (auto it = design_.cbegin(); it != design_.cend(); ++it)
        placeOne(const_cast<QWidget*>(it.key()), it.value());
    client_->setUpdatesEnabled(true);
}

void ShellWindow::setScale(double scale) {
    scale = std::clamp(scale, minScale(), maxScale());
    applyScale(scale);
    if (isFullScreen() || isMaximized())
        return; // the page stays in the window; beyond it, it scrolls
    expected_ = sizeForScale(scale, availableSize());
    resize(expected_);
    saveTimer_.start();
}

void ShellWindow::toggleFullScreen() {
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

QSize ShellWindow::restoredSize(QSize available) {
    const QSize kept = QSettings().value(kSizeKey).toSize();
    if (!kept.isValid() || kept.isEmpty())
        return {};
    return kept.boundedTo(available);
}

void ShellWindow::saveSize() {
    if (isFullScreen() || isMaximized() || !isVisible())
        return;
    QSettings settings;
    settings.setValue(kSizeKey, size());
}

QRect ShellWindow::fittedGeometry(const QRect& window, const QRect& available, const QMargins& frame) {
    const QSize room = available.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    QRect outer(window.topLeft() - QPoint(frame.left(), frame.top()), window.size().boundedTo(room).grownBy(frame));
    if (outer.right() > available.right())
        outer.moveRight(available.right());
    if (outer.bottom() > available.bottom())
        outer.moveBottom(available.bottom());
    if (outer.left() < available.left())
        outer.moveLeft(available.left());
    if (outer.top() < available.top())
        outer.moveTop(available.top());
    return outer.marginsRemoved(frame);
}

void ShellWindow::fitToScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s || isFullScreen() || isMaximized())
        return;
    const QRect g = geometry();
    const QRect f = frameGeometry();
    const QMargins frame(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    const QRect fitted = fittedGeometry(g, s->availableGeometry(), frame);
    if (fitted.size() != size())
        resize(fitted.size()); // not a size a step asked for: the page fits it
    // Before the window manager has placed the window it has no position of its own to keep.
    const bool placed = testAttribute(Qt::WA_Moved) || !frame.isNull();
    if (placed && fitted.topLeft() != g.topLeft())
        move(fitted.topLeft() - QPoint(frame.left(), frame.top()));
}

void ShellWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (restored_)
        return;
    restored_ = true;
    const QSize kept = restoredSize(availableSize());
    if (kept.isValid() && kept != size())
        resize(kept); // not a size a step asked for: the page fits it
    fitToScreen();
    // The frame is known once the window manager has framed the window.
    QTimer::singleShot(0, this, [self = QPointer<ShellWindow>(this)] {
        if (self)
            self->fitToScreen();
    });
}

void ShellWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    scroll_->setGeometry(rect());
    if (size() != expected_) {
        expected_ = QSize();
        applyScale(fitScale(size()));
    }
    if (isVisible())
        saveTimer_.start();
}

void ShellWindow::closeEvent(QCloseEvent* e) {
    saveTimer_.stop();
    saveSize();
    windowClosing(e);
}

void ShellWindow::addViewCommands() {
    auto both = [](int key, int shifted) {
        // The character of `shifted` needs Shift on some layouts: the same key.
        return std::vector<Keystroke>{Keystroke::ctrl(key), Keystroke::ctrl(shifted).hidden()};
    };
    commands_.add({QStringLiteral("zoom-in"), both(Qt::Key_Equal, Qt::Key_Plus), tr("Zoom in"),
                   [this](int) { zoomIn(); }});
    commands_.add({QStringLiteral("zoom-out"), both(Qt::Key_Minus, Qt::Key_Underscore), tr("Zoom out"),
                   [this](int) { zoomOut(); }});
    commands_.add({QStringLiteral("zoom-reset"), both(Qt::Key_0, Qt::Key_ParenRight),
                   tr("Back to the original size"), [this](int) { resetZoom(); }});
    // The wheel is no key: listed, and handled by the event filter.
    Command wheel{QStringLiteral("zoom-wheel"), {}, tr("Zoom in and out"), {}};
    wheel.gesture = tr("Ctrl + wheel");
    commands_.add(std::move(wheel));
    commands_.add({QStringLiteral("full-screen"),
                   {{Qt::Key_F11, Qt::NoModifier, true}},
                   tr("Full screen on and off"),
                   [this](int) { toggleFullScreen(); }});
}

bool ShellWindow::eventFilter(QObject* watched, QEvent* e) {
    const bool key = e->type() == QEvent::KeyPress;
    const bool wheel = e->type() == QEvent::Wheel;
    if (key || wheel) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            if (wheel) {
                auto* we = static_cast<QWheelEvent*>(e);
                if (!(we->modifiers() & Qt::ControlModifier))
                    return QWidget::eventFilter(watched, e);
                wheel_ += we->angleDelta().y();
                for (; wheel_ >= kWheelStep; wheel_ -= kWheelStep)
                    zoomIn();
                for (; wheel_ <= -kWheelStep; wheel_ += kWheelStep)
                    zoomOut();
                return true;
            }
            auto* ke = static_cast<QKeyEvent*>(e);
            // A button that has the focus takes the keys that press it; elsewhere
            // they keep their meaning for the page.
            if (auto* l = qobject_cast<Label*>(w); l && l->actsAsButton() && l->hasFocus() && Label::pressesButton(*ke))
                return QWidget::eventFilter(watched, e);
            for (const KeyHandler& h : keyHandlers_)
                if (h(ke))
                    return true;
            if (commands_.dispatch(*ke))
                return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace course
