// SPDX-License-Identifier: GPL-3.0-or-later
// The document's own glyphs: b(t), the phase factor, F(x, y, s), Bα, α²/2, the
// trigonometric factors of ωt and the factors 1 ± s². Each draws at the cursor and
// leaves the cursor after what it drew.

#include "OrielDocument.h"

#include <engine/textruns/SavedFont.h>

namespace oriel {

void OrielDocument::b_of_t() {
    it(QStringLiteral("b"));
    addx(2);
    ds(QStringLiteral("("));
    it(QStringLiteral("t"));
    addx(2);
    ds(QStringLiteral(")"));
}

void OrielDocument::Large_e() {
    course::Surface& g = pic();
    // A tenth larger than the Courier letters, on the baseline of the text it stands in.
    course::SavedFont keep(g);
    course::NominalSize standIn(g, keep.size());
    g.FontName = QStringLiteral("Courier New");
    g.FontSize = 1.2 * 1.1 * keep.size();
    dsp1(g, CurX, CurY + lineDrop(g, keep.size()), QStringLiteral("e"));
}

void OrielDocument::PhaseFactor() {
    course::Surface& g = pic();
    Large_e();
    incy(-0.3);
    {
        // The exponent, raised and smaller, is a superscript of the e.
        course::ScriptMark raised(g, 1);
        course::SavedFont keep(g);
        g.FontSize = 0.85 * keep.size();
        dspCourier(g, CurX, CurY - 1, QStringLiteral("-"));
        it(QStringLiteral("i"));
        addx(4);
        it(QStringLiteral("E"));
        sfAt(CurX, CurY - 2, QStringLiteral("n"));
        incx(0.2);
        dspItalic(g, CurX, CurY, QStringLiteral("t"));
        incx(0.4);
        ds(QStringLiteral("/"));
        incx(0.2);
        hbar(g, CurX, CurY);
    }
    incy(0.3);
}

void OrielDocument::Fxys() {
    it(QStringLiteral("F"));
    addx(2);
    ds(QStringLiteral("("));
    it(QStringLiteral("x,"));
    addx(2);
    it(QStringLiteral("y,"));
    addx(2);
    it(QStringLiteral("s"));
    addx(2);
    ds(QStringLiteral(")"));
}

void OrielDocument::B_alpha() {
    it(QStringLiteral("B"));
    addx(2);
    alphaOnLine();
}

void OrielDocument::alphaSqOver2() {
    course::Surface& g = pic();
    const double x0 = CurX;
    const double y0 = CurY;
    // The bar: one stroke where a blank and two overlapping rules would stand.
    const double blank = g.TextWidth(QStringLiteral(" "));
    const double rule = g.TextWidth(QStringLiteral("─"));
    const double barEnd = x0 + blank + 2 * rule - 0.8 * CharW;
    ruleStroke(g, x0 + blank, CurY, barEnd - (x0 + blank));
    CurX = barEnd + blank;
    const double xEnd = CurX;
    const double barMid = (x0 + blank + xEnd - blank) / 2;

    const double wn = widthOf([this] {
        alphaOnLine();
        sp(QStringLiteral("2"));
    });
    CurX = barMid - wn / 2;
    CurY = y0 - 0.4 * CharH;
    alphaOnLine();
    sp(QStringLiteral("2"));

    {
        course::SavedFont keep(g);
        g.FontSize = 0.95 * PageFontSize;
        double x = barMid - g.TextWidth(QStringLiteral("2")) / 2;
        dsp(g, x, y0 + 0.5 * CharH, QStringLiteral("2"));
    }

    CurX = xEnd;
    CurY = y0;
}

// The function names stand on the italic baseline: Courier's own sits some 4 px
// higher, and "A cos ωt" read as A with an exponent.
void OrielDocument::cos_omega_t() {
    courierOnLine(QStringLiteral("cos"));
    incx(0.4);
    OmegaT();
}

void OrielDocument::sin_omega_t() {
    courierOnLine(QStringLiteral("sin"));
    incx(0.4);
    OmegaT();
}

void OrielDocument::cos2_omega_t() {
    courierOnLine(QStringLiteral("cos"));
    sp(QStringLiteral("2"));
    OmegaT();
}

void OrielDocument::sin2_omega_t() {
    courierOnLine(QStringLiteral("sin"));
    sp(QStringLiteral("2"));
    OmegaT();
}

void OrielDocument::OneAddSsq() {
    ds(QStringLiteral("1"));
    incx(0.2);
    ds(QStringLiteral("+"));
    incx(0.2);
    it(QStringLiteral("s"));
    sp(QStringLiteral("2"));
}

void OrielDocument::OneSubSsq() {
    ds(QStringLiteral("1"));
    minus();
    it(QStringLiteral("s"));
    sp(QStringLiteral("2"));
}

void OrielDocument::ParOneAddSsq() {
    ds(QStringLiteral("("));
    incx(0.1);
    OneAddSsq();
    incx(0.1);
    ds(QStringLiteral(")"));
}

void OrielDocument::ParOneSubSsq() {
    ds(QStringLiteral("("));
    incx(0.1);
    OneSubSsq();
    incx(0.1);
    ds(QStringLiteral(")"));
}

} // namespace oriel
