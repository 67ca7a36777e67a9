// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the fraction markup: MarkupWidth and MarkupText of one string, FracMk of a
// numerator and a denominator at the three scales the pages use, and SubOf, with and
// without the Bookman face.
//
// Input: one selector byte (construct, scale, Bookman), then the numerator
// (or the one string), a 0x1F byte, and the denominator (or the subscript), as UTF-8.

#include "FuzzSupport.h"

#include <engine/formula/Typesetter.h>

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
    const QString first = in.text('\x1f');
    const QString second = in.rest();

    Typesetter t;
    t.HasBookman = (sel & 0x80) ? 1 : -1;
    Surface g(fonts(), QSize(800, 200));
    g.FontSize = 13;
    DrawingScope on(t, g);
    t.CharW = g.TextWidth(QStringLiteral("A"));
    t.CharH = g.TextHeight(QStringLiteral("A"));
    const double x0 = 40, y0 = 80;
    t.CurX = x0;
    t.CurY = y0;
    const FontState before(g);
    static const double kScales[] = {1.0, 0.8, 0.9, 1.0};
    const double scale = kScales[(sel >> 2) & 3];

    switch (sel & 3) {
    case 0: {
        const int w = t.MarkupWidth(first);
        check(w >= 0, "a negative markup width");
        if (first.isEmpty())
            check(w == 0, "an empty markup has a width");
        check(g.ops().empty(), "measuring drew something");
        break;
    }
    case 1: {
        double x = x0;
        t.MarkupText(g, x, y0, first);
        check(std::isfinite(x) && x >= x0, "markup text moved backwards");
        break;
    }
    case 2: {
        g.FontSize = scale * before.size;
        const double margin = g.TextWidth(QStringLiteral("p")); // room beside the wider part
        g.FontSize = before.size;
        t.FracMk(scale, first, second);
        // The bar is as wide as the wider part plus the margin, and the cursor ends
        // after it.
        check(std::isfinite(t.CurX), "the fraction's end is not a number");
        check(t.CurX - x0 >= margin - 1e-9, "a fraction narrower than its margin");
        bool bar = false;
        for (const DrawOp& op : g.ops())
            bar = bar ||
                  (op.kind == DrawOp::Kind::Line && op.a.x() == x0 && std::abs(op.b.x() - t.CurX) < 1e-9);
        check(bar, "a fraction without its bar");
        break;
    }
    default:
        t.SubOf(first, second);
        check(std::isfinite(t.CurX) && t.CurX >= x0, "a subscripted base moved backwards");
        break;
    }
    check(FontState(g) == before, "a construct left the surface's font changed");
    check(t.CurY == y0, "a construct moved the line");
    for (const DrawOp& op : g.ops())
        check(std::isfinite(op.a.x()) && std::isfinite(op.a.y()) && std::abs(op.a.y() - y0) < 60,
              "a piece far from the formula's line");
    return 0;
}
