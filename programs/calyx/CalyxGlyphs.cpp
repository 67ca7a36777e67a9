// Glyphs of the calyx pages: the Laplacian, bold vectors and volume elements, the
// tall brace of the case distinction, and the small compositions the pages repeat
// (φ(r), ϕ(r₁), e^(−ar), the tall brackets, text fraction bars).

#include "CalyxDocument.h"

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
    course::Surface* keep = Pic;
    const double x = CurX;
    const double y = CurY;
    Pic = &scratch;
    CurX = 0;
    draw();
    const double w = CurX;
    Pic = keep;
    CurX = x;
    CurY = y;
    return w;
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
