#include <course/shell/SurfaceView.h>

#include <QPaintEvent>
#include <QPainter>

namespace course {

SurfaceView::SurfaceView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Repaint only what the latest drawing step touched: a paced plot adds hundreds
    // of short lines a second, and whole-page repaints would keep a core busy.
    surface_.setChangeListener([this] { update(surface_.lastChange().toAlignedRect()); });
}

SurfaceView::~SurfaceView() { surface_.setChangeListener({}); }

void SurfaceView::paintEvent(QPaintEvent* ev) {
    QPainter p(this);
    const QImage& img = surface_.image(devicePixelRatioF());
    const QRect r = ev->rect();
    const qreal dpr = img.devicePixelRatio();
    p.drawImage(QRectF(r), img, QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
}

void SurfaceView::resizeEvent(QResizeEvent*) {
    if (surface_.size() != size())
        surface_.resize(size());
}

} // namespace course
