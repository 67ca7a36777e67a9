// SPDX-License-Identifier: GPL-3.0-or-later
#include "SorrelGlyphs.h"

#include <algorithm>

#include <stdexcept>

namespace sorrel {

// The Hartree window greys its background, swaps palette entries 7 and 8, writes the
// full-width comma, sets italics a little smaller, scripts as plain text, and measures
// its small gaps in letter widths rather than pixels.
course::RunStyle SorrelGlyphs::runStyle() {
    using Spacing = course::RunStyle::Spacing;
    course::RunStyle s;
    s.greyWindow = true;
    s.swapRedGray = true;
    s.bodyComma = QStringLiteral("，");
    s.italicScale = 1.1;
    s.scriptNames = false;
    s.scriptLetterGap = Spacing::Letters;
    s.paddedScripts = false;
    s.argR = Spacing::Letters;
    s.epsilonRaise = Spacing::Letters;
    return s;
}

namespace {
const QString kA = QStringLiteral("A");
}

void SorrelGlyphs::d(const QString& s) { dsp(pic(), CurX, CurY, s); }

void SorrelGlyphs::diClear(const QString& s) {
    course::Surface& g = pic();
    const std::size_t first = g.ops().size();
    di(s);
    const QRectF ink = course::inkBounds(g, first);
    if (!ink.isEmpty())
        CurX = std::max(CurX, ink.right() + 0.5);
}

void SorrelGlyphs::di(const QString& s) {
    course::Surface& g = pic();
    if (s.size() == 1) {
        dspItalic(g, CurX, CurY, s);
        return;
    }
    // The step is a fraction of the surface's "A" times CharW, whatever CharW holds:
    // after argr on a plot it is in plot units and the letters almost touch.
    const double w = g.TextWidth(kA);
    for (const QChar c : s) {
        incx(0.02 * w);
        dspItalic(g, CurX, CurY, QString(c));
    }
    if (!s.isEmpty())
        incx(0.03 * w);
}

void SorrelGlyphs::sp(const QString& s) { sup(pic(), CurX, CurY, s); }

void SorrelGlyphs::sf(const QString& s) { suf(pic(), CurX, CurY, s); }

void SorrelGlyphs::Courier(const QString& s) { dspCourier(pic(), CurX, CurY, s); }

void SorrelGlyphs::incx(double f) { CurX += f * CharW; }

void SorrelGlyphs::epsln() {
    course::Surface& g = pic();
    const double size0 = g.FontSize;
    g.FontSize = 1.05 * size0;
    dsp(g, CurX, CurY - 0.1 * CharH, QStringLiteral("ε"));
    g.FontSize = size0;
}

void SorrelGlyphs::phi() {
    course::Surface& g = pic();
    g.FontItalic = true;
    d(QStringLiteral("φ"));
    g.FontItalic = false;
}

void SorrelGlyphs::eps_1s() {
    if (!Form)
        throw std::logic_error("sorrel: no window surface");
    CurX = drawOn(*Form, [this] {
        epsln();
        sf(QStringLiteral("1s"));
        return CurX;
    });
}

void SorrelGlyphs::delta_eps() {
    if (!Form)
        throw std::logic_error("sorrel: no window surface");
    CharW = Form->TextWidth(kA);
    dsp(*Form, CurX, CurY, QStringLiteral(" ⊿"));
    CurX = drawOn(*Form, [this] {
        CurX += 0.15 * CharW;
        epsln();
        sf(QStringLiteral("1s"));
        return CurX;
    });
}

void SorrelGlyphs::argr() { TextRuns::argr(pic(), CurX, CurY); }

void SorrelGlyphs::ShowLineColor(course::Surface& g, double& x, double y, course::Rgb colour) {
    const double w = g.TextWidth(kA);
    const double hgt = g.TextHeight(kA);
    g.DrawWidth = 2;
    g.Line(x + w, y + 0.45 * hgt, x + 5 * w, y + 0.45 * hgt, colour);
    g.DrawWidth = 1;
    x += 6 * w;
}

} // namespace sorrel
