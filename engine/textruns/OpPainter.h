// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Paints recorded operations in order on one painter.
//
// A line two or more pixels wide has round caps. Where such lines join end to start
// (a curve drawn with LineTo), the caps inside the curve are hidden by the next
// segment, and on an image they are what costs: the painter strokes a round cap as a
// curved outline, a flat-ended segment on a fast path several times quicker. So on an
// image a curve is painted as flat segments, each reaching half a pixel into the
// next, a filled wedge on the outer side of a sharper bend, and round caps only where
// the curve starts and ends. The ink is that of the round-capped segments, to a few
// hundredths of a pixel. On other devices (PDF, printer) every line keeps its own
// round caps.

#include <engine/textruns/Surface.h>

#include <QFont>

#include <vector>

class QPainter;

namespace course {

// Paints one recorded operation on its own, every line with its round caps.
void paintOp(QPainter& p, const DrawOp& op);
// Whether OpPainter joins `op` into a curve on an image: a line at least two pixels
// wide. Such a line's edge pixels differ under a clip.
bool joinsIntoCurves(const DrawOp& op);

class OpPainter {
public:
    explicit OpPainter(QPainter& p);
    ~OpPainter();
    OpPainter(const OpPainter&) = delete;
    OpPainter& operator=(const OpPainter&) = delete;

    // Paints `op`, which follows the last operation given (to paint or to skip).
    void paint(const DrawOp& op);
    // `op` is left out, so that the next operation does not join the one before it.
    void skip();
    // Painting goes on after `op`, painted earlier with its end cap.
    void resume(const DrawOp& op);
    // Paints the end cap of a curve still open. Called by the destructor.
    void finish();

private:
    bool joins(const DrawOp& op) const;
    void paintJoinedLine(const DrawOp& op);
    void cap(QPointF centre, double radius, QColor colour);
    void setFlatPen(const DrawOp& op);
    void paintText(const DrawOp& op);

    QPainter& p_;
    const bool fast_;             // the device is an image: curves on the fast path
    const DrawOp* last_ = nullptr; // the wide line painted last
    bool capPending_ = false;      // its end cap is not painted yet
    bool flatPen_ = false;         // the painter's pen is that line's flat-ended one
    // The fonts of the last text runs painted: a font made anew for each run costs a
    // third of painting it.
    struct Font {
        QString family;
        double points;
        bool bold, italic;
        double dpi;
        QFont font;
    };
    static constexpr std::size_t kFontsKept = 4;
    std::vector<Font> fonts_;
};

} // namespace course
