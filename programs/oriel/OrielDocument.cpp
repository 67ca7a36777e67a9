// SPDX-License-Identifier: GPL-3.0-or-later
// The oriel document: its shell settings, the title box, and the formula helpers the
// pages share (built fractions, tall brackets and radicals, sums and integrals).

#include "OrielDocument.h"

#include <engine/formula/FontNames.h>
#include <engine/textruns/Units.h>

#include <algorithm>
#include <cmath>

namespace oriel {

using course::Surface;

QString title() { return QStringLiteral("調和振動子における波束の時間発展"); }

namespace {

// What differs from the defaults: the page font size, key set C, pages switched in
// place and the print canvas cleared before a print.
const course::DocumentSettings kSettings{
    .name = QStringLiteral("oriel"),
    .windowTitle = title(),
    .pageFontSize = 12.75,
    .keys = course::KeySet::C,
    .switching = course::PageSwitching::Inline,
    .clearCanvasBeforePrint = true,
    // The window design in twips: client area; page; print label; back and go arrows;
    // title, on a box.
    // clang-format off
    .layout = {12240, 11010, {150, 840, 12000, 10095}, {9450, 345, 705, 435},
               {10410, 330, 300, 435}, {10890, 330, 300, 435}, {3015, 165, 5940, 690}, true},
    // clang-format on
};

} // namespace

OrielDocument::OrielDocument() { PageFontSize = kSettings.pageFontSize; }

const course::DocumentSettings& OrielDocument::settings() const { return kSettings; }

void OrielDocument::drawPage(int k) {
    course::drawPageOf(*this, k, {&OrielDocument::pic0, &OrielDocument::pic1, &OrielDocument::pic2});
}

void OrielDocument::drawTitleBox() { ds(title()); }

void OrielDocument::tagAt(const QString& tag, double x) {
    CurX = x;
    ds(tag);
}

void OrielDocument::barOfRules(double x, double width) {
    Surface& g = pic();
    // As long as the rules that would fill the width, the last ending exactly there.
    ruleStroke(g, x, CurY, std::max(width, g.TextWidth(QStringLiteral("─"))));
}

void OrielDocument::fraction(const std::function<void()>& num, const std::function<void()>& den, double pad) {
    const double wn = widthOf(num);
    const double wd = widthOf(den);
    const double W = std::max(wn, wd) + 2 * pad;
    const double x0 = CurX;
    const double y0 = CurY;
    const QRectF bar = inkExtent([&] { barOfRules(x0, W); });
    const std::size_t barOp = pic().ops().size();
    barOfRules(x0, W);
    // Each part moves off the bar as far as its ink needs (descenders of the
    // numerator, a superscript or an overline at the top of the denominator).
    CurX = x0 + (W - wn) / 2;
    CurY = y0 - 0.5 * CharH;
    CurY -= std::max(0.0, inkExtent(num).bottom() + kInkAir - bar.top());
    num();
    CurX = x0 + (W - wd) / 2;
    CurY = y0 + 0.55 * CharH;
    CurY += std::max(0.0, bar.bottom() + kInkAir - inkExtent(den).top());
    den();
    if (pic().ops().size() > barOp && pic().ops()[barOp].kind == course::DrawOp::Kind::Line)
        recordFractionParts(barOp, barOp);
    CurX = x0 + W;
    CurY = y0;
}

void OrielDocument::tallBracket(int kind) {
    using namespace course::formula;
    Surface& g = pic();
    double w = 0;
    {
        // As wide as the bracket's top piece.
        course::SavedFont keep(g);
        g.FontName = kSymbolFont;
        g.FontBold = true;
        const int top = kind == 1   ? kParenLeftTop
                        : kind == 2 ? kParenRightTop
                        : kind == 3 ? kBracketLeftTop
                                    : kBracketRightTop;
        w = g.TextWidth(symbolCode(top));
    }
    BigBracket(CurX, CurY + 0.2 * CharH, kind);
    CurX += w;
}

void OrielDocument::squareBrackets(const std::function<void()>& inside) {
    using namespace course::formula;
    double w = 0;
    {
        course::SavedFont keep(pic());
        pic().FontName = kSymbolFont;
        pic().FontBold = true;
        w = pic().TextWidth(symbolCode(kBracketLeftTop));
    }
    const QRectF ink = inkExtent([&] {
        CurX += w;
        inside();
    });
    const int gap0 = BracketGap;
    BracketGap = bracketGapOver(CurY + 0.2 * CharH, ink, gap0);
    tallBracket(3);
    inside();
    tallBracket(4);
    BracketGap = gap0;
}

void OrielDocument::expOfMinus(const std::function<void()>& num, const std::function<void()>& den) {
    incx(0.3);
    Courier(QStringLiteral("exp"));
    incx(0.3);
    squareBrackets([&] {
        minus();
        fraction(num, den);
    });
}

void OrielDocument::rootOver(const std::function<void()>& radicand, double minEnd) {
    rootOf(radicand);
    CurX = std::max(CurX, minEnd);
}

double OrielDocument::italicBaseline() {
    // Where dspItalic sets the letters' baseline below the cell top.
    Surface probe(pic().fonts(), pic().size());
    probe.FontName = pic().FontName;
    probe.FontSize = pic().FontSize;
    double x = 0;
    dspItalic(probe, x, 0, QStringLiteral("A"));
    const course::DrawOp& letter = probe.ops().back();
    return letter.a.y() + letter.ascent;
}

// The Courier names stand on the letters' baseline as dspCourier sets them.
void OrielDocument::courierOnLine(const QString& s) { Courier(s); }

double OrielDocument::greekDrop(double scale, double dy) {
    const Surface& g = pic();
    const double italicBaseline = this->italicBaseline();
    Surface probe(pic().fonts(), QSize(1, 1));
    probe.FontName = QStringLiteral("Symbol");
    probe.FontBold = false;
    probe.FontItalic = true;
    probe.FontSize = scale * g.FontSize;
    const double greekBaseline = dy + probe.measure(QStringLiteral("a")).ascent;
    return std::max(0.0, std::round(italicBaseline - 1 - greekBaseline));
}

void OrielDocument::alphaOnLine() {
    const double d = greekDrop(1.1, -2);
    CurY += d;
    alpha();
    CurY -= d;
}

void OrielDocument::alphaPlainOnLine() {
    const double d = greekDrop(1.0, 0);
    CurY += d;
    alphaPlain();
    CurY -= d;
}

void OrielDocument::piPowMinusQuarter() {
    dspPi(pic(), CurX, CurY);
    sp(QStringLiteral("-1/4"));
}

void OrielDocument::sPowHalf() {
    it(QStringLiteral("s"));
    sp(QStringLiteral("1/2"));
}

void OrielDocument::sumN() {
    SumK(pic(), CurX, CurY, QStringLiteral("n=0"), QStringLiteral("∞"));
    incx(0.5);
}

void OrielDocument::integralInf() {
    dspIntInf(pic(), CurX, CurY);
    incx(0.3);
}

void OrielDocument::expOpen() {
    Courier(QStringLiteral("exp"));
    incx(0.5);
    tallBracket(1);
    incx(0.4);
    minus();
}

void OrielDocument::headingRun(const QString& s) {
    Surface& g = pic();
    g.ForeColor = Blue;
    ds(s);
    g.ForeColor = MyColor[0];
}

std::unique_ptr<course::Document> makeDocument() { return std::make_unique<OrielDocument>(); }

} // namespace oriel
