#pragma once
// A label used as a button: like a desktop button it reports a click when the left
// button is released over it after being pressed on it, and keeps its own background
// colour.

#include <course/textruns/Surface.h>

#include <QLabel>
#include <QMouseEvent>

namespace course {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setBackColor(Rgb c) {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, toQColor(c));
        pal.setColor(QPalette::WindowText, Qt::black);
        setPalette(pal);
    }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override {
        pressed_ = e->button() == Qt::LeftButton;
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const bool click =
            pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
        pressed_ = false;
        e->accept();
        if (click)
            emit clicked();
    }

private:
    bool pressed_ = false;
};

} // namespace course
