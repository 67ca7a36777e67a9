// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the run parser: dsp with its leading minus and its commas, sup and suf with
// their Greek names, capitals, digits and signs, and the italic run, in the forms the
// programs use, with and without the Bookman face.
//
// Input: one selector byte (run style, run, body font or not, Bookman), then the text
// as UTF-8.

#include "FuzzSupport.h"

#include <engine/textruns/TextRuns.h>

#include <cmath>

using namespace course;
using namespace course::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t sel = in.byte();
    const QString text = in.rest();

    // The forms the programs use: the full-width comma, scripts without names, and
    // the smaller italics with gaps in letter widths.
    RunStyle style;
    if (sel & 1)
        style.bodyComma = QStringLiteral("，");
    style.scriptNames = !(sel & 2);
    if (sel & 4) {
        style.italicScale = 1.1;
        style.scriptLetterGap = RunStyle::Spacing::Letters;
        style.omegaScriptDrop = 1;
    }
    TextRuns runs(style);
    runs.HasBookman = (sel & 0x80) ? 1 : -1;
    Surface g(fonts(), QSize(800, 200));
    g.FontName = (sel & 0x40) ? QStringLiteral("Times New Roman") : QStringLiteral("メイリオ");
    g.FontSize = 13;
    const FontState before(g);
    const double x0 = 20, y = 60;
    double x = x0;
    switch ((sel >> 3) & 7) {
    case 0:
    case 1: runs.dsp(g, x, y, text); break;
    case 2:
    case 3: runs.sup(g, x, y, text); break;
    case 4:
    case 5: runs.suf(g, x, y, text); break;
    case 6: runs.dspItalic(g, x, y, text); break;
    default: runs.dspCourier(g, x, y, text); break;
    }

    check(FontState(g) == before, "a run left the surface's font changed");
    check(std::isfinite(x), "the run's end is not a number");
    check(x >= x0, "a run moved the cursor backwards");
    if (text.isEmpty())
        check(x == x0 && g.ops().empty(), "an empty run drew something or moved");
    for (const DrawOp& op : g.ops()) {
        check(op.kind == DrawOp::Kind::Text, "a run drew something other than text");
        check(std::isfinite(op.a.x()) && std::isfinite(op.a.y()), "a piece placed at no position");
        check(op.a.x() >= x0 - 1e-9 && op.a.x() <= x + 1e-9, "a piece outside the run's extent");
        check(std::abs(op.a.y() - y) < 30, "a piece far from the run's line");
        check(!op.text.isEmpty() && op.fontSize > 0, "an empty piece or size");
    }
    return 0;
}
