// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The top of the line a text run stands on: its baseline less the body font's ascent at
// the size of the text it stands in. Faces placed by their own ascent (the italic
// letters, Courier names, the partial sign) have it where their caller put the cell
// top; body text has it at its own top. Layout tests compare it with the positions the
// constructs ask for.

#include "TestFonts.h"

#include <engine/textruns/Surface.h>

namespace course::testing {

inline double lineTop(const DrawOp& op) {
    Surface probe(testFonts(), QSize(1, 1));
    probe.FontName = QStringLiteral("メイリオ");
    probe.FontSize = op.nominalSize > 0 ? op.nominalSize : op.fontSize;
    return op.a.y() + op.ascent - probe.measure(QStringLiteral("A")).ascent;
}

// The cell's left edge and the top of its line.
inline QPointF lineAt(const DrawOp& op) { return {op.a.x(), lineTop(op)}; }

} // namespace course::testing
