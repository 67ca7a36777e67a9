// SPDX-License-Identifier: GPL-3.0-or-later
// Glyphs that single programs keep with the constructs: f(x), f(t), u_n, β(t), Ψ(x, t),
// |Ψ|², ħ, √π, ωt, a subscript at a given place, and the bars of d/dx.

#include <engine/formula/Typesetter.h>

#include <engine/formula/FontNames.h>

#include <cmath>

namespace course {

using namespace formula;

void Typesetter::fx(Surface& g, double& x, double y) {
    dspItalic(g, x, y, QStringLiteral("f"));
    x += 5;
    argx(g, x, y);
}

void Typesetter::ft(double y) {
    Surface& g = pic();
    dspItalic(g, CurX, y, QStringLiteral("f"));
    CurX += 5;
    dsp(g, CurX, y, QStringLiteral("("));
    dspItalic(g, CurX, y, QStringLiteral("t"));
    CurX += 2;
    dsp(g, CurX, y, QStringLiteral(")"));
}

void Typesetter::un() {
    dspItalic(pic(), CurX, CurY, QStringLiteral("u"));
    sf(QStringLiteral("n"));
}

void Typesetter::bt() {
    dspSymbolItalic(pic(), CurX, CurY, QStringLiteral("b"));
    addx(2);
    ds(QStringLiteral("("));
    it(QStringLiteral("t"));
    addx(2);
    ds(QStringLiteral(")"));
}

void Typesetter::Psi(Surface& g, double& x, double y, int mode) {
    const double u = g.TextWidth(kA) / 10;
    {
        SavedFont keep(g);
        g.FontSize = 1.2 * keep.size();
        g.FontItalic = true;
        dspSymbol(g, x, y, QStringLiteral("Y"));
    }
    x += 3 * u;
    dsp(g, x, y, QStringLiteral("("));
    x += u;
    if (mode != 0) {
        dspItalic(g, x, y, QStringLiteral("x, t"));
    } else {
        dspItalic(g, x, y, QStringLiteral("x, "));
        dsp(g, x, y, QStringLiteral("0"));
    }
    x += 2 * u;
    dsp(g, x, y, QStringLiteral(")"));
}

void Typesetter::AbsPsiSq(Surface& g, double& x, double y) {
    dsp(g, x, y, QStringLiteral("|"));
    Psi(g, x, y, 1);
    dsp(g, x, y, QStringLiteral("|"));
    dspSq(g, x, y);
}

void Typesetter::hbar(Surface& g, double& x, double y) {
    ConstructMark mark(g, ConstructKind::Hbar);
    dspItalic(g, x, y, QStringLiteral("h"));
    // The stroke is as long as an upright h and ends where the italic h ends. It
    // crosses the ascender two fifths of the way down from its top to the height of
    // an x, measured on the letter as drawn (a fixed fraction of the line height put
    // it above the letter in the substitute face, where it read as h with a bar).
    const DrawOp& h = g.ops().back();
    DrawOp x1 = h;
    x1.text = QStringLiteral("x");
    const double top = inkBounds(h).top();
    const double yl = std::round(top + 0.4 * (inkBounds(x1).top() - top));
    const double w = g.TextWidth(QStringLiteral("h"));
    g.Line(x - w, yl, x, yl);
}

void Typesetter::SqrtPi(Surface& g, double& x, double y) {
    const double TW = g.TextWidth(kA);
    const double TH = g.TextHeight(kA);
    dspSqrt(g, x, y + 0.1 * TH, 1.5 * TW);
    const int root = g.lastConstruct();
    const std::size_t radicand = g.ops().size();
    x -= 1.1 * TW;
    dspPi(g, x, y);
    g.setEnclosed(root, inkBounds(g, radicand));
}

void Typesetter::OmegaT() {
    Surface& g = pic();
    dspOmega(g, CurX, CurY + 1);
    addx(2);
    SavedFont keep(g);
    g.FontSize = 1.1 * keep.size();
    dspItalic(g, CurX, CurY - 0.08 * g.TextHeight(QStringLiteral("t")), QStringLiteral("t"));
}

void Typesetter::sfAt(double& x, double y, const QString& s) { suf(pic(), x, y, s); }

void Typesetter::dspBar(double x, double y, double k) {
    pic().Line(x, y + 0.5 * CharH, x + k * CharW, y + 0.5 * CharH);
}

void Typesetter::dspDx(double& x, double y) {
    dspBar(x, y + 0.5, 2.5);
    // The numerator's d keeps clear of the bar.
    const double y0 = CurY;
    CurY = y - 0.3 * CharH;
    clearOfBar(y + 0.5 + 0.5 * CharH, true, [&] {
        double xd = x + 0.8 * CharW;
        dspD(xd, CurY);
    });
    CurY = y0;
    double xd = x + 2;
    dspD(xd, y + 0.5 * CharH);
    dspItalic(pic(), xd, y + 0.5 * CharH, QStringLiteral("x"));
    x += 2.5 * CharW;
}

} // namespace course
