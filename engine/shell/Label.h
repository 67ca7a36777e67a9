// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label of a window: a caption in one font on its back colour, drawn through a
// Surface like the pages, so that it scales with the window and is printed and
// exported as it is shown. Used as a button it reports a click like a desktop button:
// when the left button is released over it after being pressed on it.

#include <engine/shell/SurfaceView.h>

#include <QString>

namespace course {

class Label : public SurfaceView {
    Q_OBJECT
public:
    enum class Align { TopLeft, Centre };

    Label(FontTable& fonts, QWidget* parent, const QString& caption, const QString& fontName, double fontSize,
          Align align = Align::TopLeft);

    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    void setBackColor(Rgb c);
    Rgb backColor() const { return surface().BackColor; }
    void placeAt(const QRect& design, double scale) override;
    // The scale of a label in a layout, which chooses its place; its caption keeps its
    // size in design pixels.
    void setScale(double scale);
    // Room left and right of the caption in a layout's size hint.
    void setMargin(int pixels) { margin_ = pixels; }
    // The caption's extent and the margins, for labels in a layout.
    QSize sizeHint() const override;
    // Makes the label a push button to the keyboard and to assistive technology: Tab
    // reaches it, Space or Enter presses it, a screen reader sees a button named by
    // its accessible name whose press action clicks it. The window's command table
    // does this for every label it acts on.
    void actAsButton();
    bool actsAsButton() const { return button_; }
    // Space, Enter or Return without modifiers: the keys that press a focused button.
    static bool pressesButton(const QKeyEvent& e);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void redraw();

    QString caption_;
    Align align_;
    bool pressed_ = false;
    bool button_ = false;
    int margin_ = 0;
    bool placed_ = false; // by a window at a design rectangle, not by a layout
};

} // namespace course
