// SPDX-License-Identifier: GPL-3.0-or-later
// Cursor-level calls: runs at (Pic, CurX, CurY), cursor steps, Greek letters and the
// small compositions that pages use between their words.

#include <engine/formula/Typesetter.h>

#include <engine/formula/FontNames.h>

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>

namespace course {

using namespace formula;

namespace {

// A scratch surface draws in the font and pen of the surface it stands in for.
void takeFontAndPen(Surface& scratch, const Surface& g) {
    scratch.FontName = g.FontName;
    scratch.FontSize = g.FontSize;
    scratch.FontBold = g.FontBold;
    scratch.FontItalic = g.FontItalic;
    scratch.DrawWidth = g.DrawWidth;
}

} // namespace

Typesetter::Typesetter(RunStyle style) : TextRuns(std::move(style)) {}

void Typesetter::ds(const QString& s) { dsp(pic(), CurX, CurY, s); }

void Typesetter::it(const QString& s) {
    if (s.size() == 1) {
        dspItalic(pic(), CurX, CurY, s);
        return;
    }
    // Several letters are spaced apart: italic capitals and lower-case letters of the
    // variable font otherwise touch.
    for (QChar c : s) {
        addx(2);
        dspItalic(pic(), CurX, CurY, QString(c));
    }
    addx(2);
}

void Typesetter::sp(const QString& s) {
    const bool spaced = style().paddedScripts;
    if (spaced)
        addx(2);
    // The script keeps clear of its base: an italic letter leans over its advance.
    clearOfLast([&] { sup(pic(), CurX, CurY, s); });
    if (spaced)
        addx(2);
}

void Typesetter::sf(const QString& s) { suf(pic(), CurX, CurY, s); }

void Typesetter::Courier(const QString& s) { dspCourier(pic(), CurX, CurY, s); }

void Typesetter::minus() {
    const bool spaced = style().paddedScripts;
    if (spaced)
        addx(4);
    Courier(QStringLiteral("-"));
    if (spaced)
        addx(4);
}

void Typesetter::dspBlue(const QString& s) {
    Surface& g = pic();
    const Rgb keep = g.ForeColor;
    g.ForeColor = Blue;
    ds(s);
    g.ForeColor = keep;
}

void Typesetter::addx(double n) {
    const double r = std::nearbyint(n);
    if (!(r >= std::numeric_limits<std::int16_t>::min() && r <= std::numeric_limits<std::int16_t>::max()))
        throw std::overflow_error("addx: step outside the 16-bit range");
    CurX += static_cast<std::int16_t>(r);
}

void Typesetter::incx(double f) { CurX += f * CharW; }
void Typesetter::incy(double f) { CurY += f * CharH; }

void Typesetter::NewLine() {
    CurX = LeftMargin;
    CurY += CharH;
}

void Typesetter::NewPara() {
    CurX = LeftMargin;
    CurY += 1.5 * CharH;
}

void Typesetter::cosx() {
    Courier(QStringLiteral("cos"));
    addx(2);
}

void Typesetter::sinx() {
    Courier(QStringLiteral("sin"));
    addx(2);
}

void Typesetter::delta() {
    Surface& g = pic();
    SavedFont keep(g);
    g.FontSize = 1.2 * keep.size();
    dspSymbolItalic(g, CurX, CurY - 1, QStringLiteral("d"));
}

void Typesetter::epsln() {
    Surface& g = pic();
    SavedFont keep(g);
    g.FontSize = 1.05 * keep.size();
    const double y = style().epsilonRaise == RunStyle::Spacing::Letters ? CurY - 0.1 * CharH : CurY - 2;
    dsp(g, CurX, y, QStringLiteral("ε"));
}

void Typesetter::theta() { dspSymbolItalic(pic(), CurX, CurY, QStringLiteral("q")); }

void Typesetter::phi() {
    Surface& g = pic();
    g.FontItalic = true;
    dsp(g, CurX, CurY, QStringLiteral("φ"));
    g.FontItalic = false;
}

void Typesetter::phiBig() {
    Surface& g = pic();
    {
        SavedFont keep(g);
        g.FontSize = 1.4 * keep.size();
        dspSymbolItalic(g, CurX, CurY - 6, QStringLiteral("f"));
    }
    CurX += 0.3 * CharW;
}

void Typesetter::alpha() {
    Surface& g = pic();
    SavedFont keep(g);
    g.FontSize = 1.1 * keep.size();
    dspSymbolItalic(g, CurX, CurY - 2, QStringLiteral("a"));
}

void Typesetter::alphaPlain() { dspSymbolItalic(pic(), CurX, CurY, QStringLiteral("a")); }

void Typesetter::prime() {
    Surface& g = pic();
    SavedFont keep(g);
    g.FontName = QStringLiteral("Verdana");
    g.FontBold = true;
    CurX += 4;
    dsp(g, CurX, CurY, QString(QChar(39)));
}

void Typesetter::dVar(const QString& s) {
    dspD(CurX, CurY);
    it(s);
}

void Typesetter::SqOf(const QString& v) {
    if (v == QStringLiteral("d"))
        ds(QStringLiteral("d"));
    else
        it(v);
    // The substitute italic font sits lower on its line; its square is raised less.
    const double keep = SupRaise;
    SupRaise = HasBookman != 1 ? 0.12 : 0.2;
    CurX += 2;
    clearOfLast([&] { sup(pic(), CurX, CurY, QStringLiteral("2")); });
    SupRaise = keep;
    CurX += 2;
}

void Typesetter::FuncOf(const QString& f, const QString& v) {
    Surface& g = pic();
    dspItalic(g, CurX, CurY, f);
    addx(4);
    dsp(g, CurX, CurY, QStringLiteral("("));
    if (HasBookman != 1) {
        if (v == QStringLiteral("j"))
            addx(5);
        else if (v == QStringLiteral("y"))
            addx(4);
        else
            addx(2);
    }
    dspItalic(g, CurX, CurY, v);
    if (v == QStringLiteral("j") || v == QStringLiteral("t"))
        addx(2);
    else if (v == QStringLiteral("l"))
        addx(3);
    else
        addx(1);
    dsp(g, CurX, CurY, QStringLiteral(")"));
}

void Typesetter::ruleStroke(Surface& g, double x, double y, double width) {
    const QString rule = QStringLiteral("─");
    const double advance = g.TextWidth(rule);
    const QRectF ink = inkExtentOn(g, [&rule](Surface& s) {
        s.CurrentX = 0;
        s.CurrentY = 0;
        s.Print(rule);
    });
    const int thickness = std::max(1, nint(ink.height()));
    const double half = thickness / 2.0;
    // Odd strokes are drawn half a pixel right of and below their points.
    const double o = (thickness % 2) ? 0.5 : 0.0;
    const double left = x + ink.left() + half - o;
    const double right = std::max(left, x + width - advance + ink.right() - half - o);
    const double mid = y + ink.center().y() - o;
    const int keepWidth = g.DrawWidth;
    g.DrawWidth = thickness;
    g.Line(left, mid, right, mid);
    g.DrawWidth = keepWidth;
}

void Typesetter::ruleBar(int n) {
    const double width = n * pic().TextWidth(QStringLiteral("─"));
    ruleStroke(pic(), CurX, CurY, width);
    CurX += width;
}

QRectF Typesetter::inkExtentOn(const Surface& g, const std::function<void(Surface&)>& draw) {
    Surface scratch(g.fonts(), g.size());
    takeFontAndPen(scratch, g);
    draw(scratch);
    QRectF ink;
    for (const DrawOp& op : scratch.ops())
        ink |= inkBounds(op);
    return ink;
}

Typesetter::ScratchDrawing Typesetter::onScratch(double x, double y, const std::function<void()>& draw) {
    Surface scratch(pic().fonts(), pic().size());
    takeFontAndPen(scratch, *Pic);
    return drawOn(scratch, [&] {
        CurX = x;
        CurY = y;
        draw();
        return ScratchDrawing{inkBounds(scratch, 0), QPointF(CurX, CurY)};
    });
}

QRectF Typesetter::inkExtent(const std::function<void()>& draw) { return onScratch(CurX, CurY, draw).ink; }

void Typesetter::pastInk(std::size_t first) {
    const Surface& g = pic();
    const QRectF ink = inkBounds(g, first);
    if (ink.isEmpty())
        return;
    // Back from pixels to the surface's units (a figure may draw in a user scale).
    const double x0 = g.toPixels(0, 0).x();
    const double perPixel = g.userScale() ? g.ScaleWidth() / g.size().width() : 1.0;
    CurX = std::max(CurX, (ink.right() + 0.5 - x0) * perPixel);
}

void Typesetter::clearOfLast(const std::function<void()>& draw) {
    const Surface& g = pic();
    if (!g.ops().empty() && g.ops().back().kind == DrawOp::Kind::Text) {
        const QRectF ink = inkExtent(draw);
        const std::optional<double> last =
            ink.isEmpty() ? std::nullopt : inkRightWithin(g.ops().back(), QRectF(-1e5, ink.top(), 2e5, ink.height()));
        if (last)
            CurX += std::max(0.0, *last + kInkAir - ink.left());
    }
    draw();
}

void Typesetter::clearOfBar(double y, bool above, const std::function<void()>& draw) {
    const int w = pic().DrawWidth;
    // The bar's top edge where the surface sets it: on a whole pixel.
    const double top = Surface::ruleAt(y, w) + ((w % 2) ? 0.5 : 0.0) - w / 2.0;
    const double y0 = CurY;
    const QRectF ink = inkExtent(draw);
    if (!ink.isEmpty()) {
        if (above)
            CurY -= std::max(0.0, ink.bottom() + kInkAir - top);
        else
            CurY += std::max(0.0, top + w + kInkAir - ink.top());
    }
    draw();
    CurY = y0;
}

} // namespace course
