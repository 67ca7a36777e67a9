// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ink of a recorded drawing and the places where ink of different drawing calls
// touches. Each text run's ink is its glyph outlines as the run is laid out, each line
// its stroke at its width with round caps, each point its square; items drawn in the
// background colour leave no ink. Two items whose ink overlaps or comes closer than
// the gap are in contact.
//
// The gap is half a pixel at 1x: two edges closer than that share the one device pixel
// between them, which the antialiased page fills from both sides, so at 1x they print
// as one blot; half a pixel of air is the least that still shows as a lighter seam, and
// it is one whole pixel on a 2x screen.

#include <engine/textruns/Surface.h>

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace course::testing {

inline constexpr double kInkGap = 0.5;

// The ink of one drawing operation: closed outlines filled by the non-zero rule, one
// piece per glyph (or stroke), each with its bounds, in page pixels.
struct InkPiece {
    std::vector<QPolygonF> outlines;
    QRectF bounds;
};
struct Ink {
    std::vector<InkPiece> pieces;
    QRectF bounds;
    bool empty() const { return pieces.empty(); }
};

Ink inkOf(const DrawOp& op);

// What two inks come to: whether they overlap, else how close they come and where.
struct InkDistance {
    double distance = 0; // 0 when the inks overlap
    QPointF at;          // between the closest points (on the overlap when they overlap)
};
// Nothing when the inks stay `limit` or more apart.
std::optional<InkDistance> inkDistance(const Ink& a, const Ink& b, double limit);

struct InkContact {
    std::size_t first = 0, second = 0; // operation indices, first < second
    QString firstLabel, secondLabel;
    InkDistance where;
    // The construct whose design joins the two, empty when none does: pieces marked
    // as one construct, consecutive segments of a polyline,
    // rule characters ("─") drawn in pieces on one baseline, or the same run drawn
    // twice over itself.
    QString construct;
};

// How an operation is named in reports: the text of a run, or a line's end points.
QString inkLabel(const DrawOp& op);

// Every pair of operations of `g` whose ink comes closer than `gap`. Strokes of plots
// are not compared with one another: curves and axes cross by design.
std::vector<InkContact> inkContacts(const Surface& g, double gap = kInkGap);

} // namespace course::testing
