#pragma once
// The controls of the Hartree window, all drawn through engine surfaces so that the
// window can be shown on screen and replayed on an image or a PDF page alike:
// a label (caption in one font on its back colour, optionally clickable) and a
// picture box (a plotting surface inside a sunken 2-pixel border).

#include <course/shell/SurfaceView.h>

#include <QRect>
#include <QRectF>
#include <QString>
#include <QWidget>

class QPainter;

namespace sorrel {

// Twips to pixels at 96 dpi, as the documents' window designs.
QRect twipsRect(int left, int top, int width, int height);

class LabelView : public course::SurfaceView {
    Q_OBJECT
public:
    LabelView(QWidget* parent, const QString& fontName, double fontSize);

    void place(const QRect& r);
    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    void setBackColor(course::Rgb c);
    course::Rgb backColor() const { return surface().BackColor; }

    // Paints the label with its top-left corner at the painter's origin.
    void paintTo(QPainter& p) const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void redraw();
    QString caption_;
    bool pressed_ = false;
};

class PictureBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;

    explicit PictureBox(QWidget* parent);

    // Outer rectangle; the drawing surface is the inner area inside the border.
    void place(const QRect& r);
    course::Surface& surface() { return view_->surface(); }
    const course::Surface& surface() const { return view_->surface(); }
    course::SurfaceView* view() const { return view_; }

    // Paints border and surface with the outer top-left corner at the painter's origin.
    void paintTo(QPainter& p) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    course::SurfaceView* view_;
};

// The sunken 3-D frame of a picture box, 2 pixels wide, around a w × h rectangle.
void paintSunkenBorder(QPainter& p, int w, int h);

} // namespace sorrel
