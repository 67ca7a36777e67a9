// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture box of the Hartree window: a plotting surface inside a sunken 2-pixel
// border, drawn through an engine surface so that the window can be shown on screen
// at any scale and replayed on an image or a PDF page alike.

#include <engine/shell/SurfaceView.h>

#include <QRect>
#include <QWidget>

class QPainter;

namespace sorrel {

class PictureBox : public QWidget, public course::ClientControl {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;

    PictureBox(course::FontTable& fonts, QWidget* parent);

    // Outer rectangle; the drawing surface is the inner area inside the border.
    void placeAt(const QRect& design, double scale) override;
    course::Surface& surface() { return view_->surface(); }
    const course::Surface& surface() const { return view_->surface(); }
    course::SurfaceView* view() const { return view_; }

    // Paints border and surface with the outer top-left corner at the painter's origin.
    void paintTo(QPainter& p) const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    course::SurfaceView* view_;
    QSize design_;
    double scale_ = 1.0;
};

// The sunken 3-D frame of a picture box, 2 pixels wide, around a w × h rectangle.
void paintSunkenBorder(QPainter& p, int w, int h);

} // namespace sorrel
