#include "SurfaceView.h"

#include <QPaintEvent>
#include <QPainter>

namespace course {

SurfaceView::SurfaceView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setChangeListener([this] { update(); });
}

SurfaceView::~SurfaceView() { surface_.setChangeListener({}); }

void SurfaceView::paintEvent(QPaintEvent* ev) {
    QPainter p(this);
    const QImage& img = surface_.image(devicePixelRatioF());
    p.fillRect(ev->rect(), toQColor(surface_.BackColor));
    p.drawImage(QPointF(0, 0), img);
}

void SurfaceView::resizeEvent(QResizeEvent*) {
    if (surface_.size() != size())
        surface_.resize(size());
}

} // namespace course
