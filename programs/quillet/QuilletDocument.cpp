// SPDX-License-Identifier: GPL-3.0-or-later
// quillet's settings of the shell, its two glyph methods and the small notations its
// pages share. The pages themselves are in QuilletPages.cpp.

#include "QuilletDocument.h"

#include <engine/formula/FontNames.h>
#include <engine/textruns/Units.h>

#include <algorithm>

namespace quillet {

using course::DocumentSettings;

namespace {

// Ascent of the Symbol font the pages were laid out with, in em.
constexpr double kSymbolAscentEm = 1.005;

// What differs from the defaults: four pages and the label colour.
const DocumentSettings kSettings{
    .name = QStringLiteral("quillet"),
    .windowTitle = kTitle,
    .pages = 4,
    .labelColor = course::RGB(244, 244, 255),
    // The window design in twips: client area; page; print label; back and go arrows;
    // title.
    // clang-format off
    .layout = {11880, 10860, {240, 705, 11610, 10935}, {9525, 60, 645, 480},
               {10455, 135, 300, 390}, {10935, 150, 300, 390}, {1455, 75, 7905, 465}},
    // clang-format on
};

} // namespace

const DocumentSettings& QuilletDocument::settings() const { return kSettings; }

void QuilletDocument::drawPage(int k) {
    course::drawPageOf(
        *this, k,
        {&QuilletDocument::pic0, &QuilletDocument::pic1, &QuilletDocument::pic2, &QuilletDocument::pic3});
}

void QuilletDocument::Order(int k) {
    it(QStringLiteral("O"));
    addx(4);
    ds(QStringLiteral("("));
    it(QStringLiteral("h"));
    sp(QString::number(k));
    ds(QStringLiteral(")"));
}

void QuilletDocument::lambda() {
    course::Surface& g = *Pic;
    const std::size_t first = g.ops().size();
    g.FontItalic = true;
    g.FontSize = 1.2 * PageFontSize;
    dspSymbol(g, CurX, CurY - 2 + symbolDrop(g.FontSize), QStringLiteral("l"));
    g.FontSize = PageFontSize;
    g.FontItalic = false;
    // The slanted leg reaches past the advance, where a subscript would touch it.
    pastInk(first);
}

void QuilletDocument::itClear(const QString& letter) {
    const std::size_t first = Pic->ops().size();
    it(letter);
    pastInk(first);
}

void QuilletDocument::startPage(bool alwaysOneLineDown) {
    course::Surface& g = *Pic;
    g.Cls();
    // The print canvas starts at its own design size; every page is set in the page
    // font from its first line on, on screen and on paper alike.
    g.FontSize = PageFontSize;
    CurY = (alwaysOneLineDown || Printing) ? CharH : 0;
}

void QuilletDocument::at(int column, double f) {
    CurX = column;
    incy(f);
}

void QuilletDocument::SubPrimed(const QString& X, const QString& s, int primes) {
    SubOf(X, s);
    // The first prime is pulled back over the subscript's end, the others close up.
    for (int i = 0; i < primes; ++i) {
        addx(i == 0 ? -7 : -3);
        prime();
    }
}

double QuilletDocument::symbolDrop(double size) const {
    course::Surface& g = *Pic;
    double ascent = 0;
    {
        course::SavedFont keep(g);
        g.FontName = course::formula::kSymbolFont;
        g.FontSize = size;
        ascent = g.measure(QStringLiteral("l")).ascent;
    }
    const double em = size * course::units::kPixelsPerPoint;
    return std::max(0.0, kSymbolAscentEm * em - ascent);
}

void QuilletDocument::ichi() { dspMSkanji(*Pic, CurX, CurY + 2, QStringLiteral("一")); }

void QuilletDocument::RungeKutta(const QString& rest) {
    ds(QStringLiteral("ルンゲ-"));
    addx(2);
    ds(rest);
}

void QuilletDocument::secondDifference(double around) {
    SubOf(QStringLiteral("y"), QStringLiteral("n+1"));
    addx(around);
    minus();
    addx(around);
    ds(QStringLiteral("2"));
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n"));
    addx(4);
    ds(QStringLiteral("+"));
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n-1"));
}

void QuilletDocument::factorMinus(const QString& v, bool third) {
    ds(QStringLiteral("("));
    addx(4);
    ds(QStringLiteral("1"));
    if (third)
        addx(2);
    minus();
    addx(2);
    frac(QStringLiteral("h^2"), QStringLiteral("12"));
    addx(4);
    if (!v.isEmpty()) {
        SubOf(QStringLiteral("v"), v);
        addx(4);
    }
    ds(QStringLiteral(")"));
}

void QuilletDocument::factorPlus(const QString& v) {
    ds(QStringLiteral("("));
    addx(4);
    ds(QStringLiteral("1"));
    addx(2);
    ds(QStringLiteral("+"));
    addx(4);
    frac(QStringLiteral("5"), QStringLiteral("12"));
    addx(4);
    h2();
    addx(4);
    if (!v.isEmpty()) {
        SubOf(QStringLiteral("v"), v);
        addx(4);
    }
    ds(QStringLiteral(")"));
}

double QuilletDocument::rootBar(int n) {
    const double Xbar = CurX;
    ruleBar(n);
    return Xbar;
}

void QuilletDocument::rootDenominator(double Y0, double Xbar) {
    CurX = Xbar + kRootDenominatorCols * CharW;
    CurY = Y0 + kRootDenominatorDy;
    ds(QStringLiteral("1"));
    Courier(QStringLiteral(" - "));
    frac(QStringLiteral("1"), QStringLiteral("12"));
    addx(4);
    h2();
}

std::unique_ptr<course::Document> makeDocument() { return std::make_unique<QuilletDocument>(); }

} // namespace quillet
