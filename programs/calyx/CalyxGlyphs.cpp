// Glyphs of the calyx pages: the Laplacian, bold vectors and volume elements, the
// tall brace of the case distinction, and the small compositions the pages repeat
// (φ(r), ϕ(r₁), e^(−ar), the tall brackets, text fraction bars).

#include "CalyxDocument.h"

#include <course/textruns/FontGuard.h>

#include <algorithm>
#include <cmath>

namespace calyx {

namespace {
const QString kSymbol = QStringLiteral("Symbol");
constexpr int kNabla = 209;
constexpr int kBraceTop = 236;    // 252 for the closing brace
constexpr int kBraceMiddle = 237; // 253
constexpr int kBraceBottom = 238; // 254
constexpr int kBraceExtender = 239;
constexpr QChar kRule = QChar(0x2500); // box-drawing horizontal, the text fraction bar
} // namespace

void CalyxDocument::intLim(const QString& upper, const QString& lower) {
    IntLim(*Pic, CurX, CurY, upper, lower);
    // IntLim ends half a character after the lower limit; ∞ above reaches further.
    addx(upper == QStringLiteral("∞") ? 6 : 2);
}

void CalyxDocument::Laplacian(const QString& s) {
    dspSymbol(*Pic, CurX, CurY, QString(QChar(kNabla)));
    addx(-2);
    sf(s);
    sp(QStringLiteral("2"));
}

void CalyxDocument::diBold(const QString& s) {
    course::Surface& g = *Pic;
    const bool bold = g.FontBold;
    g.FontBold = true;
    dspItalic(g, CurX, CurY - 1, s);
    g.FontBold = bold;
    addx(2);
}

void CalyxDocument::ddr() {
    dspD(CurX, CurY + 1);
    diBold(QStringLiteral("r"));
}

void CalyxDocument::dr() {
    dspD(CurX, CurY);
    it(QStringLiteral("r"));
}

void CalyxDocument::ColBrace(int index, double x, double y, double ht) {
    course::Surface& g = *Pic;
    course::ConstructMark mark(g, QStringLiteral("brace"));
    const QString keep = g.FontName;
    g.FontName = kSymbol;
    const int shift = 16 * index;
    const int xi = course::nint(x);
    const double step = ht * CharH;
    auto piece = [&](int code, double yp) {
        int xp = xi; // every piece from the same x
        gdiText(g, xp, course::nint(yp), QString(QChar(code)), 1);
    };
    piece(kBraceTop + shift, y - 2 * step);
    piece(kBraceExtender, y - step);
    piece(kBraceMiddle + shift, y);
    piece(kBraceExtender, y + step);
    piece(kBraceBottom + shift, y + 2 * step);
    g.FontName = keep;
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

void CalyxDocument::textBar(int n) { ds(QString(n, kRule)); }

double CalyxDocument::widthOf(const std::function<void()>& draw) {
    course::Surface scratch(Pic->size());
    scratch.FontName = Pic->FontName;
    scratch.FontSize = Pic->FontSize;
    scratch.FontBold = Pic->FontBold;
    scratch.FontItalic = Pic->FontItalic;
    return drawOn(scratch, [&] {
        CurX = 0;
        draw();
        return CurX;
    });
}

QRectF CalyxDocument::inkOf(const std::function<void()>& draw) {
    course::Surface scratch(Pic->size());
    scratch.FontName = Pic->FontName;
    scratch.FontSize = Pic->FontSize;
    scratch.FontBold = Pic->FontBold;
    scratch.FontItalic = Pic->FontItalic;
    return drawOn(scratch, [&] {
        CurX = 0;
        CurY = 0;
        draw();
        return course::inkBounds(scratch, 0);
    });
}

void CalyxDocument::pastInk(std::size_t first) {
    const QRectF ink = course::inkBounds(*Pic, first);
    if (!ink.isEmpty())
        CurX = std::max(CurX, ink.right() + 0.5);
}

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
    const double yu = std::min(CurY - 0.6 * TH, sign.top() - kAir - ink.bottom());
    sup(g, xu, yu, upper);
}

void CalyxDocument::relation(const QString& sign) {
    course::Surface& g = *Pic;
    // The baseline of the italic letters beside it, as dspItalic sets them.
    course::Surface probe(g.size());
    probe.FontName = g.FontName;
    probe.FontSize = g.FontSize;
    double x = 0;
    dspItalic(probe, x, 0, QStringLiteral("r"));
    const double baseline = probe.ops().back().ascent;
    // The sign in the serif face at the letters' size, on that baseline.
    course::FontGuard keep(g);
    g.FontName = QStringLiteral("Times New Roman");
    g.FontSize = 1.15 * keep.size();
    dsp1(g, CurX, CurY + baseline - g.measure(sign).ascent, sign);
}

void CalyxDocument::FracD2(const QString& f, const QString& v) {
    course::Surface& g = *Pic;
    const std::size_t first = g.ops().size();
    const double x0 = CurX;
    const double barY = CurY + 12;
    double x = x0 + 2 + (f.isEmpty() ? 8 : 0);
    dspD(x, CurY - 11);
    dspSq(g, x, CurY - 13);
    dspItalic(g, x, CurY - 11, f);
    const double yd = CurY + 14;
    x = x0 + 2;
    dspD(x, yd);
    x += 3;
    const std::size_t letter = g.ops().size();
    dspItalic(g, x, yd, v);
    CurX = x;
    pastInk(letter);
    x = CurX;
    dspSq(g, x, yd);
    const double len = (f == QStringLiteral("P") ? 3.5 : 3.2) * CharW;
    const double end = std::max(x0 + len, course::inkBounds(g, first).right() + kAir);
    g.Line(x0, barY, end, barY);
    CurX = std::max(x, end);
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
    // Both parts clear of the bar's ink by kAir at least.
    const QRectF bar = inkOf([this] { textBar(1); });
    numDy = std::max(numDy, inkOf(num).bottom() + kAir - bar.top());
    denDy = std::max(denDy, bar.bottom() + kAir - inkOf(den).top());
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
