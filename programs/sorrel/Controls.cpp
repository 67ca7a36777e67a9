// SPDX-License-Identifier: GPL-3.0-or-later
#include "Controls.h"

#include <QPainter>

namespace sorrel {

PictureBox::PictureBox(course::FontTable& fonts, QWidget* parent)
    : QWidget(parent), view_(new course::SurfaceView(fonts, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::placeAt(const QRect& design, double scale) {
    design_ = design.size();
    scale_ = scale;
    setGeometry(course::scaledRect(design, scale));
    // The view lies inside the border, in this box's coordinates.
    const QRect inner(kBorder, kBorder, design.width() - 2 * kBorder, design.height() - 2 * kBorder);
    view_->placeAt(inner, scale);
    update();
}

void paintSunkenBorder(QPainter& p, int w, int h) {
    // Outer ring: shadow top-left, highlight bottom-right; inner ring: dark shadow
    // top-left, light bottom-right.
    const QColor shadow(160, 160, 160), highlight(255, 255, 255);
    const QColor darkShadow(105, 105, 105), light(227, 227, 227);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, w, 1, shadow);
    p.fillRect(0, 0, 1, h, shadow);
    p.fillRect(0, h - 1, w, 1, highlight);
    p.fillRect(w - 1, 0, 1, h, highlight);
    p.fillRect(1, 1, w - 2, 1, darkShadow);
    p.fillRect(1, 1, 1, h - 2, darkShadow);
    p.fillRect(1, h - 2, w - 2, 1, light);
    p.fillRect(w - 2, 1, 1, h - 2, light);
    p.restore();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (scale_ != 1.0)
        p.scale(double(width()) / design_.width(), double(height()) / design_.height());
    paintSunkenBorder(p, design_.width(), design_.height());
}

void PictureBox::paintTo(QPainter& p) const {
    paintSunkenBorder(p, design_.width(), design_.height());
    p.save();
    p.translate(kBorder, kBorder);
    view_->paintTo(p);
    p.restore();
}

} // namespace sorrel
