// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text of a recorded page as a reader reads it: Unicode, in reading order, for the
// clipboard and for screen readers.
//
// Text runs are gathered into lines by their baselines (runs at the size of the line
// whose baselines lie close together; smaller runs above or below a line's baseline are
// its superscripts and subscripts), lines from top to bottom, runs from left to right,
// with a space where the page leaves a horizontal gap. Symbol runs become the characters
// they draw (Greek letters, operators). Scripts are written inline after their base:
// `_x` / `^x` for one character, `_(…)` / `^(…)` for more, the subscript first when a
// base has both: x_0, f^(n+1), R_(1s), x_i^2. Of the pieces that large signs are built
// from, the top of an integral stands for "∫" and the tops of tall parentheses and
// brackets for "(", ")", "[", "]"; the other pieces (lower halves, extensions, braces,
// the radical's overbar) draw no character of their own and are left out.

#include <engine/textruns/Surface.h>

#include <QRectF>
#include <QString>

#include <vector>

namespace course {

// A stretch of the page text and the text cell (page pixels) it was drawn in.
struct PageTextSpan {
    int start = 0;
    int length = 0;
    QRectF cell;
};

struct PageTextLayout {
    QString text;
    std::vector<PageTextSpan> spans; // in text order; separators belong to none
};

PageTextLayout pageTextLayout(const Surface& g);
QString pageText(const Surface& g);

// The characters a text run stands for: Symbol byte codes as Unicode, the pieces of
// large signs as above. Empty for a run that draws only a graphical piece.
QString readableText(const DrawOp& op);

} // namespace course
