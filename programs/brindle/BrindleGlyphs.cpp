// Glyphs of brindle's explanation pages: the column brace, the derivative fractions
// with their bars, x₀ and the difference quotient, each measured from its own ink.

#include "BrindleDocument.h"

#include <algorithm>
#include <cmath>

namespace brindle {

using course::Surface;

namespace {

const QString kSymbol = QStringLiteral("Symbol");

// Symbol codes of the brace pieces: top, middle and bottom of the left brace (the
// right brace's are 16 further on) and the extension shared by both.
constexpr int kBraceTop = 236;
constexpr int kBraceMiddle = 237;
constexpr int kBraceBottom = 238;
constexpr int kBraceExtension = 239;

} // namespace

void BrindleDocument::ColBrace(int index, double x, double y, double ht) {
    Surface& g = *Pic;
    course::ConstructMark mark(g, QStringLiteral("brace"));
    const QString keep = g.FontName;
    g.FontName = kSymbol;
    const int xi = course::nint(x);
    auto piece = [&](int code, double yp) {
        int xp = xi; // every piece from the same x
        gdiText(g, xp, course::nint(yp), QString(QChar(code)), 1);
    };
    const int shift = 16 * index;
    piece(kBraceTop + shift, y - 2 * ht * CharH);
    piece(kBraceMiddle + shift, y);
    piece(kBraceBottom + shift, y + 2 * ht * CharH);
    if (ht >= 1) {
        piece(kBraceExtension, y - ht * CharH);
        piece(kBraceExtension, y + ht * CharH);
    }
    g.FontName = keep;
}

void BrindleDocument::x0() { xSub("0"); }

void BrindleDocument::xSub(const char* sub) {
    const std::size_t first = Pic->ops().size();
    it(QStringLiteral("x"));
    pastInk(first);
    sf(QString::fromLatin1(sub));
}

void BrindleDocument::pastInk(std::size_t first) {
    Surface& g = *Pic;
    const QRectF ink = course::inkBounds(g, first);
    if (ink.isEmpty())
        return;
    // Back from pixels to the surface's units (the figure draws in a user scale).
    const double x0 = g.toPixels(0, 0).x();
    const double perPixel = g.userScale() ? g.ScaleWidth() / g.size().width() : 1.0;
    CurX = std::max(CurX, (ink.right() + 0.5 - x0) * perPixel);
}

QRectF BrindleDocument::inkOf(const std::function<void()>& draw) {
    Surface scratch(Pic->size());
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

double BrindleDocument::numeratorLift(const QString& f, double yn, double barY) {
    if (f.isEmpty())
        return 0;
    Surface& g = *Pic;
    // The letter as it will be drawn, on a probe surface with its top at y = 0.
    Surface probe(g.size());
    probe.FontName = g.FontName;
    probe.FontSize = g.FontSize;
    double x = 0;
    dspItalic(probe, x, 0, f);
    const course::DrawOp& letter = probe.ops().back();
    // Its baseline onto the d's: the d is a Courier run at 1.2 times the size.
    probe.FontName = QStringLiteral("Courier New");
    probe.FontSize = 1.2 * g.FontSize;
    const double lift = std::max(0.0, letter.ascent - probe.measure(QStringLiteral("d")).ascent);
    // A tail that would still come within kAir of the bar lifts it further.
    const double bottom = yn - lift + course::inkBounds(letter).bottom();
    return lift + std::max(0.0, bottom + kAir - barY);
}

void BrindleDocument::derivativeBar(std::size_t first, double barY, double minLength) {
    Surface& g = *Pic;
    const double x0 = CurX;
    const double end = std::max(x0 + minLength, course::inkBounds(g, first).right() + kAir);
    g.Line(x0, barY, end, barY);
    CurX = end;
}

void BrindleDocument::FracD(const QString& f, const QString& v) {
    Surface& g = *Pic;
    const std::size_t first = g.ops().size();
    const double x0 = CurX;
    const double barY = CurY + 12;
    const double yn = CurY - 11;
    double x = x0 + 2;
    dspD(x, yn);
    if (f == QStringLiteral("f"))
        x += 4; // the italic f leans into the d
    dspItalic(g, x, yn - numeratorLift(f, yn, barY), f);
    const double yd = CurY + 0.5 * CharH;
    x = x0 + 2;
    dspD(x, yd);
    dspItalic(g, x, yd, v);
    CurX = x0;
    derivativeBar(first, barY, 2.4 * CharW);
    CurX = std::max(CurX, x);
}

void BrindleDocument::FracD2(const QString& f, const QString& v) {
    Surface& g = *Pic;
    const std::size_t first = g.ops().size();
    const double x0 = CurX;
    const double barY = CurY + 12;
    const double yn = CurY - 11;
    double x = x0 + 2 + (f.isEmpty() ? 8 : 0);
    dspD(x, yn);
    dspSq(g, x, CurY - 13);
    dspItalic(g, x, yn - numeratorLift(f, yn, barY), f);
    const double yd = CurY + 14;
    x = x0 + 2;
    dspD(x, yd);
    x += 3;
    dspItalic(g, x, yd, v);
    dspSq(g, x, yd);
    CurX = x0;
    derivativeBar(first, barY, (f == QStringLiteral("P") ? 3.5 : 3.2) * CharW);
    CurX = std::max(CurX, x);
}

void BrindleDocument::argx0() {
    ds(QStringLiteral("("));
    x0();
    ds(QStringLiteral(")"));
}

void BrindleDocument::fnOf(const char* name, const char* index) {
    it(QString::fromLatin1(name));
    if (*index)
        sf(QString::fromLatin1(index));
    argx(*Pic, CurX, CurY);
}

void BrindleDocument::diffz() {
    ds(QStringLiteral("("));
    addx(4);
    for (int k = 1; k <= 2; ++k) {
        it(QStringLiteral("z"));
        sf(QString::number(k));
        double& mark = k == 1 ? markX_ : markX2_;
        mark = CurX;
        CurX = mark - 7;
        prime();
        CurX = mark + 4;
        argx0();
        if (k == 1) {
            addx(4);
            minus();
            addx(2);
        }
    }
    addx(4);
    ds(QStringLiteral(")"));
}

} // namespace brindle
