#pragma once
// A label used as a button: it reports a click and keeps its own background colour.

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
        if (e->button() == Qt::LeftButton)
            emit clicked();
        QLabel::mousePressEvent(e);
    }
};

} // namespace course
