// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Typographic faults of a recorded drawing, read from its operations and the glyph
// outlines the runs are drawn with:
//
// - minus: a minus in the math is one glyph, U+2212, on the math axis of the text
//   it stands in (the middle of a "+" of the body font at the run's nominal size and
//   baseline of the body text beside it) and about as long as that "+"; never a hyphen
//   run ("-"), never the full-width dash of Japanese text ("－") and never the
//   Courier hyphen, which is short and sits above the axis. A minus drawn so reads as
//   "−" in the page text and in a PDF's text.
// - rule: a bar is one stroke, not a row of box-drawing characters whose joints show;
//   a thin horizontal or vertical stroke lies on whole device pixels at 1x, so that it
//   is one dark row (or column) of pixels, not two grey ones.
//   Strokes of plots count too: their axes, levels and the flat pieces of curves.
// - baseline: runs of one line that are not scripts (body text, italic variables, the
//   upright d and function names, the partial sign) stand on one baseline, within half
//   a pixel at 1x. Runs are of one line when each starts about where the run before
//   it ended and their cell tops or baselines are near; scripts are told by the
//   recording (DrawOp::script), Greek letters and pieces of constructs are not held.
// - script: a superscript or subscript keeps a whole pixel of paper at 1x from the
//   ink of its base and from any fraction bar or radical overline.
// - fit: a tall bracket, brace or radical spans the ink it encloses (as the typesetter
//   recorded it on the construct, DrawOp::enclosed) from top to bottom, its ink reaching
//   within kFitMargin of the content's top and bottom; a radical's overline covers its
//   radicand from left to right and a fraction bar its numerator and denominator, to
//   the same margin. What records nothing is not held.
// - label: no stroke of a plot (ConstructKind::Plot: its curves, axes, ticks and
//   levels) comes within a pixel at 1x of the glyph ink of a text run on the drawing,
//   so no label cuts a curve or sits on an axis; a curve keeps clear of a label by a
//   gap left around it (a halo) or by the label's place. Where an opaque run is drawn
//   over a stroke, only the part of the stroke outside its cell counts.

#include <engine/textruns/Surface.h>

#include <QString>

#include <vector>

namespace course::testing {

struct TypeFault {
    QString rule;    // "minus", "rule", "baseline", "script", "fit" or "label"
    QString item;    // the text of the run or the line's end points, as in reports
    QString measure; // what was measured against what was wanted
    std::size_t op = 0;
};

// Every fault of `g`. Text drawn in the background colour is not looked at.
std::vector<TypeFault> typeFaults(const Surface& g);

// How far a construct's or a bar's ink may stop short of an edge of the ink it
// encloses, pixels: the pieces stand on whole pixels, and half a pixel short does not
// show at 1x.
constexpr double kFitMargin = 0.5;

// How far a stroke's edges across its direction lie from whole pixels at 1x (0 for
// a crisp rule); negative for a stroke that is not a thin axis-parallel rule.
double ruleOffPixel(const DrawOp& op);

} // namespace course::testing
