// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/Label.h>

#include <engine/shell/PageAccessible.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <cmath>

namespace course {

Label::Label(FontTable& fonts, QWidget* parent, const QString& caption, const QString& fontName,
             double fontSize, Align align)
    : SurfaceView(fonts, parent), caption_(caption), align_(align) {
    surface().FontName = fontName;
    surface().FontSize = fontSize;
    surface().BackColor = 0xFFFFFF;
    setAccessibleName(caption);
    redraw();
}

void Label::placeAt(const QRect& design, double scale) {
    placed_ = true;
    const bool resized = surface().size() != design.size();
    SurfaceView::placeAt(design, scale);
    // The caption is drawn before the label is shown (and may be exported unshown).
    if (resized)
        redraw();
}

void Label::setCaption(const QString& caption) {
    // Callers refresh labels often (a run's state on every tick): the same caption
    // neither redraws nor lays the window out again.
    if (caption == caption_)
        return;
    caption_ = caption;
    setAccessibleName(caption);
    redraw();
    updateGeometry();
}

QSize Label::sizeHint() const {
    const Surface::Metrics m = surface().measure(caption_);
    return QSize(int(std::ceil((m.width + 2 * margin_) * scale())), int(std::ceil(m.height * scale())));
}

void Label::actAsButton() {
    if (button_)
        return;
    button_ = true;
    setFocusPolicy(Qt::TabFocus);
    PageAccessible::expose(this, {QAccessible::Button, {}, {}, {}, [self = QPointer<Label>(this)] {
                                      if (self)
                                          emit self->clicked();
                                  }});
}

bool Label::pressesButton(const QKeyEvent& e) {
    const bool key = e.key() == Qt::Key_Space || e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter;
    return key && (e.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

void Label::keyPressEvent(QKeyEvent* e) {
    if (button_ && pressesButton(*e)) {
        e->accept();
        emit clicked();
        return;
    }
    SurfaceView::keyPressEvent(e);
}

void Label::setBackColor(Rgb c) {
    surface().BackColor = c;
    redraw();
}

void Label::redraw() {
    Surface& s = surface();
    s.Cls();
    if (align_ == Align::Centre) {
        const QSize box = s.size();
        s.CurrentX = (box.width() - s.TextWidth(caption_)) / 2;
        s.CurrentY = (box.height() - s.TextHeight(caption_)) / 2;
    }
    s.Print(caption_);
}

void Label::setScale(double scale) {
    setViewScale(scale);
    updateGeometry();
}

void Label::resizeEvent(QResizeEvent* e) {
    const QSize before = surface().size();
    SurfaceView::resizeEvent(e);
    // In a layout the widget's size is the label's at its scale.
    if (!placed_ && scale() != 1.0)
        surface().resize(QSize(int(std::lround(width() / scale())), int(std::lround(height() / scale()))));
    if (surface().size() != before)
        redraw();
}

void Label::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click)
        emit clicked();
}

} // namespace course
