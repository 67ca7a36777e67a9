#include <course/shell/SurfaceView.h>

#include <QPaintEvent>
#include <QPainter>

namespace course {

SurfaceView::SurfaceView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A paced plot adds hundreds of short lines a second: repainting the whole page, or
    // repainting for every line, would keep a core busy for nothing the eye can see.
    frame_.setSingleShot(true);
    frame_.setInterval(kFrameMs);
    connect(&frame_, &QTimer::timeout, this, &SurfaceView::flush);
    surface_.setChangeListener([this] { changed(); });
}

void SurfaceView::changed() {
    pending_ |= surface_.lastChange().toAlignedRect();
    if (!frame_.isActive())
        frame_.start();
}

void SurfaceView::flush() {
    update(pending_);
    pending_ = QRect();
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
