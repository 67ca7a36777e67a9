// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A control inside a ShellWindow's client area. The window places it by its design
// rectangle (logical pixels of the client area at 100 %) and the current screen
// scale, and replays it onto any painter at its design size when the window is
// printed or exported, so that the screen's scale never reaches the output.

#include <QRect>

class QPainter;

namespace course {

class ClientControl {
public:
    virtual ~ClientControl() = default;
    // Takes the place `design` at `scale`: the widget covers design × scale, its
    // drawing keeps the design size.
    virtual void placeAt(const QRect& design, double scale) = 0;
    // Paints the control at its design size with its top-left corner at the origin.
    virtual void paintTo(QPainter& p) const = 0;
};

// A design rectangle on screen at `scale`: the edges are scaled and rounded, so that
// controls that touch at 100 % still touch.
QRect scaledRect(const QRect& design, double scale);

} // namespace course
