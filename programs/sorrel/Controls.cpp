#include "Controls.h"

#include <course/shell/Document.h>

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace sorrel {

QRect twipsRect(int left, int top, int width, int height) {
    return course::TwipsRect{left, top, width, height}.pixels();
}

// ---------------------------------------------------------------- LabelView

LabelView::LabelView(QWidget* parent, const QString& fontName, double fontSize)
    : course::SurfaceView(parent) {
    surface().FontName = fontName;
    surface().FontSize = fontSize;
    surface().BackColor = 0xFFFFFF;
}

void LabelView::place(const QRect& r) {
    setGeometry(r);
    // A hidden widget gets its resize event only when shown; the surface must have
    // its size now, since it is drawn (and may be exported) before that.
    surface().resize(r.size());
    redraw();
}

void LabelView::setCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(caption);
    redraw();
}

void LabelView::setBackColor(course::Rgb c) {
    surface().BackColor = c;
    redraw();
}

void LabelView::redraw() {
    course::Surface& s = surface();
    s.Cls();
    s.CurrentX = 0;
    s.CurrentY = 0;
    s.Print(caption_);
}

void LabelView::paintTo(QPainter& p) const { surface().render(p); }

void LabelView::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void LabelView::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click)
        emit clicked();
}

// ---------------------------------------------------------------- PictureBox

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), view_(new course::SurfaceView(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::place(const QRect& r) {
    setGeometry(r);
    const QRect inner(kBorder, kBorder, r.width() - 2 * kBorder, r.height() - 2 * kBorder);
    view_->setGeometry(inner);
    view_->surface().resize(inner.size());
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
    paintSunkenBorder(p, width(), height());
}

void PictureBox::paintTo(QPainter& p) const {
    paintSunkenBorder(p, width(), height());
    p.save();
    p.translate(kBorder, kBorder);
    view_->surface().render(p);
    p.restore();
}

} // namespace sorrel
