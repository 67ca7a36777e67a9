// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/SurfaceView.h>

#include <QFocusEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace course {

QRect scaledRect(const QRect& design, double scale) {
    if (scale == 1.0)
        return design;
    const int left = int(std::lround(design.x() * scale));
    const int top = int(std::lround(design.y() * scale));
    const int right = int(std::lround((design.x() + design.width()) * scale));
    const int bottom = int(std::lround((design.y() + design.height()) * scale));
    return QRect(left, top, right - left, bottom - top);
}

SurfaceView::SurfaceView(FontTable& fonts, QWidget* parent) : QWidget(parent), surface_(fonts) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A paced plot adds hundreds of short lines a second: repainting the whole page, or
    // repainting for every line, would keep a core busy for nothing the eye can see.
    frame_.setSingleShot(true);
    connect(&frame_, &QTimer::timeout, this, &SurfaceView::flush);
    surface_.setChangeListener([this] { changed(); });
}

void SurfaceView::changed() {
    const QRectF c = surface_.lastChange();
    const QRectF onScreen(c.topLeft() * scale_, c.size() * scale_);
    // One pixel more around a scaled area: its edges were rounded.
    pending_.add(scale_ == 1.0 ? onScreen.toAlignedRect() : onScreen.toAlignedRect().adjusted(-1, -1, 1, 1));
    if (frame_.isActive())
        return;
    // The frame is shown as soon as the drawing yields to the event loop, but no sooner
    // than a frame after the previous one (less a millisecond for the timers' rounding).
    using namespace std::chrono;
    const nanoseconds since = shown_.isValid() ? nanoseconds(shown_.nsecsElapsed()) : milliseconds(kFrameMs);
    const auto wait = ceil<milliseconds>(milliseconds(kFrameMs - 1) - since);
    frame_.start(int(std::max<milliseconds::rep>(0, wait.count())));
}

void SurfaceView::flush() {
    shown_.start();
    // Painted now: the frame is what this yield to the event loop is for.
    const QRegion area = pending_.region();
    pending_.clear();
    repaint(area);
}

void SurfaceView::preferCopiedFrames() {
    // COURSE_SHM_FRAMES=1 keeps Qt's shared-memory frames (to measure the difference).
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM") && qEnvironmentVariableIntValue("COURSE_SHM_FRAMES") != 1)
        qputenv("QT_XCB_NO_MITSHM", "1");
}

SurfaceView::~SurfaceView() { surface_.setChangeListener({}); }

void SurfaceView::placeAt(const QRect& design, double scale) {
    const bool rescaled = scale != scale_;
    scale_ = scale;
    if (surface_.size() != design.size())
        surface_.resize(design.size());
    setGeometry(scaledRect(design, scale));
    if (rescaled)
        update();
}

void SurfaceView::setViewScale(double scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    update();
}

void SurfaceView::paintTo(QPainter& p) const { surface_.render(p); }

void SurfaceView::paintEvent(QPaintEvent* ev) {
    QPainter p(this);
    // The image holds scale × device pixel ratio pixels per surface pixel, one per
    // device pixel of the widget: it is copied, never stretched.
    const qreal dpr = devicePixelRatioF();
    const QImage& img = surface_.image(scale_ * dpr);
    for (const QRect& r : ev->region())
        p.drawImage(QRectF(r), img, QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
    if (focusMark_) {
        QPen pen(palette().color(QPalette::Highlight), 2);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void SurfaceView::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    focusMark_ = e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason;
    if (focusMark_)
        update();
}

void SurfaceView::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    if (focusMark_)
        update();
    focusMark_ = false;
}

void SurfaceView::resizeEvent(QResizeEvent*) {
    if (scale_ == 1.0 && surface_.size() != size())
        surface_.resize(size());
}

} // namespace course
