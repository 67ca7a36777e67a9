// SPDX-License-Identifier: GPL-3.0-or-later
// Glyphs of the calyx pages: the Laplacian, bold vectors and volume elements, the
// tall brace of the case distinction, and the small compositions the pages repeat
// (φ(r), ϕ(r₁), e^(−ar), the tall brackets, text fraction bars).

#include "CalyxDocument.h"

#include <engine/formula/FontNames.h>

#include <algorithm>
#include <cmath>

namespace calyx {

namespace {
constexpr QChar kRule = QChar(0x2500); // box-drawing horizontal, the text fraction bar
} // namespace

void CalyxDocument::intLim(const QString& upper, const QString& lower) {
    IntLim(*Pic, CurX, CurY, upper, lower);
    // IntLim ends half a character after the lower limit; ∞ above reaches further.
    addx(upper == QStringLiteral("∞") ? 6 : 2);
}

void CalyxDocument::Laplacian(const QString& s) {
    dspSymbol(*Pic, CurX, CurY, course::formula::symbolCode(course::formula::kNabla));
    addx(-2);
    sf(s);
    sp(QStringLiteral("2"));
}

void CalyxDocument::diBold(const QString& s) {
    course::Surface& g = *Pic;
    {
        course::SavedFont keep(g);
        g.FontBold = true;
        dspItalic(g, CurX, CurY, s);
    }
    addx(2);
}

void CalyxDocument::ddr() {
    dspD(CurX, CurY);
    diBold(QStringLiteral("r"));
}

void CalyxDocument::dr() {
    dspD(CurX, CurY);
    it(QStringLiteral("r"));
}

void CalyxDocument::argSub(const QString& sub) {
    ds(QStringLiteral("("));
    if (HasBookman != 1)
        addx(2);
    it(QStringLiteral("r"));
    sf(sub);
    addx(1);
    ds(QStringLiteral(")"));
}

void CalyxDocument::orbital() {
    phiBig();
    argr(*Pic, CurX, CurY);
}

void CalyxDocument::orbitalOf(const QString& sub) {
    phiBig();
    argSub(sub);
}

void CalyxDocument::potential() {
    phi();
    addx(1);
    argr(*Pic, CurX, CurY);
}

void CalyxDocument::potentialOf(const QString& sub) {
    phi();
    addx(1);
    argSub(sub);
}

void CalyxDocument::scripts(const QString& sub, const QString& sup) {
    const double x0 = CurX;
    double xs = x0;
    suf(*Pic, xs, CurY, sub);
    double xp = x0 + 2;
    this->sup(*Pic, xp, CurY, sup);
    CurX = MaxOf(xs, xp) + 2;
}

void CalyxDocument::expMinus(const QString& exponent) {
    Courier(QStringLiteral("e"));
    sp(QStringLiteral("-") + exponent);
}

void CalyxDocument::bigParenL() {
    BigParenL(CurX, CurY);
    incx(0.9);
}

void CalyxDocument::bigParenR() {
    addx(2);
    BigParenR(CurX, CurY);
    incx(0.9);
}

void CalyxDocument::bigSquareL() {
    BigSquareL(CurX, CurY);
    incx(0.9);
}

void CalyxDocument::bigSquareR() {
    addx(2);
    BigSquareR(CurX, CurY);
    incx(0.9);
}

void CalyxDocument::textBar(int n) { ruleBar(n); }

void CalyxDocument::itClear(const QString& s) {
    const std::size_t first = Pic->ops().size();
    it(s);
    pastInk(first);
}

void CalyxDocument::phiClear() {
    const std::size_t first = Pic->ops().size();
    phi();
    pastInk(first);
}

void CalyxDocument::sumLim(const QString& lower, const QString& upper) {
    course::Surface& g = *Pic;
    const double x0 = CurX;
    const double TH = g.TextHeight(QStringLiteral("A"));
    const double wu = g.TextWidth(upper);
    SumK(g, CurX, CurY, lower, QString());
    const QRectF sign = course::inkBounds(g.ops().back());
    // Where SumK sets the upper limit, or higher if its ink would reach the sign.
    const QRectF ink = inkOf([&] {
        double x = 0;
        sup(*Pic, x, 0, upper);
    });
    double xu = upper == QStringLiteral("∞") ? x0 + 4 : x0 + 10 - wu / 2;
    const double yu = std::min(CurY - 0.6 * TH, sign.top() - kInkAir - ink.bottom());
    sup(g, xu, yu, upper);
}

void CalyxDocument::relation(const QString& sign) {
    course::Surface& g = *Pic;
    // The baseline of the italic letters beside it, as dspItalic sets them.
    course::Surface probe(g.fonts(), g.size());
    probe.FontName = g.FontName;
    probe.FontSize = g.FontSize;
    double x = 0;
    dspItalic(probe, x, 0, QStringLiteral("r"));
    const double baseline = probe.ops().back().a.y() + probe.ops().back().ascent;
    // The sign in the serif face at the letters' size, on that baseline.
    course::SavedFont keep(g);
    course::NominalSize standIn(g, keep.size());
    g.FontName = QStringLiteral("Times New Roman");
    g.FontSize = 1.15 * keep.size();
    dsp1(g, CurX, CurY + baseline - g.measure(sign).ascent, sign);
}

void CalyxDocument::textFraction(int minRules, double numDy, const std::function<void()>& num, double denDy,
                                 const std::function<void()>& den) {
    const double x0 = CurX;
    const double y0 = CurY;
    const double wn = widthOf(num);
    const double wd = widthOf(den);
    const double rule = Pic->TextWidth(QString(kRule));
    const int rules = std::max(minRules, int(std::ceil((MaxOf(wn, wd) + 4) / rule)));
    const double wBar = Pic->TextWidth(QString(rules, kRule));
    // Both parts clear of the bar's ink by kInkAir at least.
    const QRectF bar = inkOf([this] { textBar(1); });
    numDy = std::max(numDy, inkOf(num).bottom() + kInkAir - bar.top());
    denDy = std::max(denDy, bar.bottom() + kInkAir - inkOf(den).top());
    CurX = x0 + (wBar - wn) / 2;
    CurY = y0 - numDy;
    num();
    CurX = x0 + (wBar - wd) / 2;
    CurY = y0 + denDy;
    den();
    CurX = x0;
    CurY = y0;
    textBar(rules);
}

} // namespace calyx
