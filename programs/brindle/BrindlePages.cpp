// SPDX-License-Identifier: GPL-3.0-or-later
// brindle's explanation pages 0 and 1, with their figure of the two partial solutions.
// Page 2, the live iteration, is in LivePage.cpp.

#include "BrindleDocument.h"

#include <algorithm>
#include <cmath>

namespace brindle {

using course::Surface;

namespace {

const QString kSymbol = QStringLiteral("Symbol");

} // namespace

// ---- Page 0 ----

void BrindleDocument::rangeText(bool left) {
    ds(QStringLiteral("( "));
    if (left)
        xSub("min");
    else
        x0();
    ds(QStringLiteral(" ≦ "));
    it(QStringLiteral("x"));
    ds(QStringLiteral(" ≦ "));
    if (left)
        x0();
    else
        xSub("max");
    addx(4);
    ds(QStringLiteral(")"));
}

void BrindleDocument::caseLine(int index, double y) {
    CurY = y;
    fnOf("z", index == 1 ? "1" : "2");
    incx(1);
    rangeText(index == 1);
}

void BrindleDocument::pic0() {
    Surface& g = *Pic;
    g.Cls();
    SupRaise = 0.2;
    SupScale = 0.85;
    CurY = CharH;
    if (Printing) {
        fontSize(16);
        CurX = 15 * CharW;
        ds(settings().windowTitle);
        fontSize(PageFontSize);
        incy(1.5);
    }
    auto En = [this] {
        it(QStringLiteral("E"));
        sp(QStringLiteral("(n)"));
    };

    CurX = Indent0;
    dspBlue(QStringLiteral("(1)  概 要"));
    CurX = LeftMargin;
    incy(1.5);
    ds(QStringLiteral("Numerov 法を用いると，次のシュレーディンガー方程式"));

    // [1]  −d²y/dx² + V(x) y(x) = E y(x)
    CurX = Indent1;
    incy(1.5);
    lineY_ = CurY;
    minus();
    addx(4);
    FracD2Fit(QStringLiteral("y"), QStringLiteral("x"));
    incx(1);
    ds(QStringLiteral(" ＋  "));
    FuncOf(QStringLiteral("V"), QStringLiteral("x"));
    addx(8);
    FuncOf(QStringLiteral("y"), QStringLiteral("x"));
    ds(QStringLiteral("  =  "));
    it(QStringLiteral("E"));
    addx(10);
    FuncOf(QStringLiteral("y"), QStringLiteral("x"));
    CurX = TagCol;
    ds(QStringLiteral("[1]  "));

    CurX = LeftMargin;
    incy(1.5);
    ds(QStringLiteral("を精度よく数値的に解くことができる．"));
    NewLine();
    ds(QStringLiteral("ただし束縛状態を求めるときには，エネルギー固有値 "));
    it(QStringLiteral("E"));
    ds(QStringLiteral(" も同時に"));
    NewLine();
    ds(QStringLiteral("決めなければならない．"));

    CurX = Indent0;
    incy(1.5);
    dspBlue(QStringLiteral("(2)  束縛状態について微分方程式を解く."));
    CurX = LeftMargin;
    incy(1.5);
    ds(QStringLiteral("そこで，真の固有値 "));
    it(QStringLiteral("E"));
    ds(QStringLiteral(" のある近似値 "));
    En();
    ds(QStringLiteral(" を仮定し，反復計算によって "));
    it(QStringLiteral("E"));
    NewLine();
    ds(QStringLiteral("に収束させる．与えられた "));
    En();
    ds(QStringLiteral(" について [1] を解くには，"));
    it(QStringLiteral("x"));
    ds(QStringLiteral(" 軸の中央"));
    NewLine();
    ds(QStringLiteral("付近に適当な点 "));
    x0();
    ds(QStringLiteral(" をとり，次の３段階で進める．"));

    const double item = LeftMargin + CharW;
    NewLine();
    CurX = item;
    ds(QStringLiteral("(a)  左端 "));
    xSub("min");
    ds(QStringLiteral(" ("));
    addx(2);
    ds(QStringLiteral("="));
    addx(2);
    Courier(QStringLiteral("-"));
    addx(2);
    ds(QStringLiteral("∞) から出発し，Numerov 法で [1] を右向きに "));
    x0();
    NewLine();
    CurX = item + 2.5 * CharW;
    ds(QStringLiteral("まで積分して "));
    fnOf("z", "1");
    ds(QStringLiteral(" を得る．"));
    NewLine();
    CurX = item;
    ds(QStringLiteral("(b)  同様に右端 "));
    xSub("max");
    ds(QStringLiteral(" ("));
    addx(2);
    ds(QStringLiteral("="));
    addx(2);
    ds(QStringLiteral("∞) から出発して左向きに "));
    x0();
    ds(QStringLiteral(" まで積分し，"));
    fnOf("z", "2");
    ds(QStringLiteral(" を得る．"));
    NewLine();
    CurX = item;
    ds(QStringLiteral("(c)  "));
    fnOf("z", "1");
    ds(QStringLiteral(" と "));
    fnOf("z", "2");
    ds(QStringLiteral(" が "));
    x0();
    ds(QStringLiteral(" で連続につながるように，定数倍を調整する．"));
    NewLine();
    ds(QStringLiteral("こうして２つの解をつなぎ合わせ，次の関数 "));
    fnOf("z", "");
    ds(QStringLiteral(" をつくる．"));

    // z(x) = { z₁(x) (x_min ≦ x ≦ x₀) ; z₂(x) (x₀ ≦ x ≦ x_max) }
    CurX = LeftMargin + CharW;
    incy(2);
    lineY_ = CurY;
    FuncOf(QStringLiteral("z"), QStringLiteral("x"));
    ds(QStringLiteral(" = "));
    // The two cases first, then the brace sized to their ink.
    const double braceX = CurX;
    addx(8);
    incx(1);
    markX_ = CurX;
    const std::size_t cases = Pic->ops().size();
    caseLine(1, lineY_ - 0.7 * CharH);
    CurX = markX_;
    caseLine(2, lineY_ + 0.7 * CharH);
    const QRectF casesInk = course::inkBounds(*Pic, cases);
    Pic->setEnclosed(ColBraceOver(0, braceX, casesInk, BraceBuild::ExtendedFromOne), casesInk);

    // The kink, told beside the figure on the right.
    CurX = LeftMargin;
    incy(1.2);
    ds(QStringLiteral("ところが "));
    En();
    ds(QStringLiteral(" は真の固有値 "));
    it(QStringLiteral("E"));
    ds(QStringLiteral(" と"));
    NewLine();
    ds(QStringLiteral("異なるので，右の図のように "));
    fnOf("z", "");
    NewLine();
    ds(QStringLiteral("は "));
    x0();
    ds(QStringLiteral(" で折れ曲がる．"));

    figure();
}

void BrindleDocument::figure() {
    Surface& g = *Pic;
    if (Printing)
        g.Scale(-30, -5.3, 14, 0.7);
    else
        g.Scale(-30, -5, 14, 1);

    // Frame and axis.
    g.Line(-10, -1, 11.5, -1, Blue);
    g.LineTo(11.5, 0.2, Blue);
    g.LineTo(-10, 0.2, Blue);
    g.LineTo(-10, -1, Blue);
    g.Line(-10, 0, 11.5, 0, Gray);

    // The two partial solutions meet at x₀ = 0 with the slopes 0.36 and 0.
    constexpr double kStep = 1.0 / 128;
    g.DrawWidth = 2;
    auto z1 = [](double x) { return 0.9 * (1 - x / 2) * std::exp(0.9 * x); };
    auto z2 = [](double x) { return 0.9 * (1 + 0.8 * x) * std::exp(-0.8 * x); };
    const course::Rgb red = course::RGB(255, 0, 0);
    const course::Rgb green = course::RGB(0, 224, 0);
    g.PSet(-10, -z1(-10), red);
    for (int i = 1; i <= 10 * 128; ++i) {
        const double x = -10 + i * kStep;
        g.LineTo(x, -z1(x), red);
    }
    g.PSet(0, -z2(0), green);
    for (int i = 1; i <= int(11.5 * 128); ++i) {
        const double x = i * kStep;
        g.LineTo(x, -z2(x), green);
    }
    g.DrawWidth = 1;

    // Ticks and labels. The labels hang from just below the axis; a tick ends a
    // pixel above the top of the label's letters rather than running into them.
    fontSize(0.85 * PageFontSize);
    const double labelTop = g.toPixels(0, 0.01).y() + inkOf([this] { it(QStringLiteral("x")); }).top();
    const double perPixel = g.ScaleHeight() / g.size().height();
    // (A stroke's ink reaches a pixel below its end: the round cap and the pixel grid.)
    const double tickEnd = std::min(0.1, 0.01 + (labelTop - kAir - 1 - g.toPixels(0, 0.01).y()) * perPixel);
    g.Line(0, tickEnd, 0, -0.05, Gray);
    CurX = -0.23;
    CurY = 0.01;
    x0();
    g.Line(-8, tickEnd, -8, 0.0, MyColor[0]);
    g.Line(9, tickEnd, 9, 0.0, MyColor[0]);
    CurX = -8.23;
    CurY = 0.01;
    xSub("min");
    CurX = 8.77;
    CurY = 0.01;
    xSub("max");
    CurX = -4.5;
    CurY = -0.5;
    fnOf("z", "1");
    CurX = 3;
    CurY = -0.5;
    fnOf("z", "2");

    g.ScalePixels();
    fontSize(PageFontSize);
}

// ---- Page 1 ----

void BrindleDocument::eigenFraction(bool improved) {
    CurX = Indent1;
    incy(1.8);
    lineY_ = CurY;
    it(QStringLiteral("E"));
    if (improved)
        sp(QStringLiteral("(n+1)"));
    ds(QStringLiteral("  =  "));
    it(QStringLiteral("E"));
    sp(QStringLiteral("(n)"));
    ds(QStringLiteral("  ＋  "));
    markX_ = CurX;
    ruleBar(13);

    // Numerator: y(x₀) or z(x₀) times the kink.
    CurX = markX_ + 3;
    CurY = lineY_ - (improved ? 16 : 15);
    it(improved ? QStringLiteral("z") : QStringLiteral("y"));
    argx0();
    addx(8);
    diffz();

    // Denominator, placed from the mark diffz leaves after z₁.
    CurX = markX_ - 60;
    CurY = lineY_ + (improved ? 22 : 20);
    dspIntInf(*Pic, CurX, CurY);
    addx(8);
    if (improved) {
        fnOf("z", "");
        sp(QStringLiteral("2"));
    } else {
        fnOf("y", "");
        addx(4);
        fnOf("z", "");
    }
    addx(6);
    dVar(QStringLiteral("x"));
    CurY = lineY_;
}

void BrindleDocument::pic1() {
    Surface& g = *Pic;
    g.Cls();
    CurX = Indent0;
    CurY = Printing ? CharH : 0;
    dspBlue(QStringLiteral("(3)  固有値の反復計算"));

    auto En = [this] {
        it(QStringLiteral("E"));
        sp(QStringLiteral("(n)"));
    };
    auto deltaX = [this] { // δ(x − x₀), the δ one unit below the line
        const double y = CurY;
        CurY = y + 1;
        delta();
        CurY = y;
        ds(QStringLiteral("("));
        it(QStringLiteral("x"));
        minus();
        x0();
        ds(QStringLiteral(")"));
    };

    CurX = LeftMargin;
    incy(1.5);
    fnOf("z", "");
    ds(QStringLiteral(" は "));
    x0();
    ds(QStringLiteral(" で折れ曲がっているので，"));
    fnOf("z", "");
    ds(QStringLiteral(" の満たす方程式は [1]"));
    NewLine();
    ds(QStringLiteral("そのものではなく，右辺にデルタ関数の項が加わった次の式"));
    NewLine();
    ds(QStringLiteral("になる．"));
    x0();
    ds(QStringLiteral(" を含む小さな区間で両辺を積分して確かめてみよ．"));

    // [2]  −d²z/dx² + V(x) z(x) = E⁽ⁿ⁾ z(x) + δ(x − x₀) (z₁′(x₀) − z₂′(x₀))
    CurX = LeftMargin + CharW;
    incy(1.8);
    lineY_ = CurY;
    minus();
    addx(4);
    FracD2Fit(QStringLiteral("z"), QStringLiteral("x"));
    incx(1);
    ds(QStringLiteral(" ＋  "));
    FuncOf(QStringLiteral("V"), QStringLiteral("x"));
    addx(8);
    FuncOf(QStringLiteral("z"), QStringLiteral("x"));
    ds(QStringLiteral("  =  "));
    En();
    addx(4);
    FuncOf(QStringLiteral("z"), QStringLiteral("x"));
    ds(QStringLiteral(" ＋ "));
    deltaX();
    addx(8);
    diffz();
    // The stand-in fonts make this line longer than the tag column allows for: the
    // tag keeps a character's distance from the formula.
    CurX = std::max(TagCol + 2 * CharW, CurX + CharW);
    ds(QStringLiteral("[2]"));

    CurX = LeftMargin;
    incy(1.8);
    ds(QStringLiteral("反復の公式を導くために，[1] × "));
    fnOf("z", "");
    ds(QStringLiteral(" − [2] × "));
    fnOf("y", "");
    ds(QStringLiteral(" をつくると，"));
    NewLine();
    FuncOf(QStringLiteral("V"), QStringLiteral("x"));
    ds(QStringLiteral(" を含む項は打ち消し合って，次の式が得られる．"));

    // −(d/dx) ( z dy/dx − dz/dx y ) = (E − E⁽ⁿ⁾) y z − δ(x − x₀) y(x₀) (z₁′(x₀) − z₂′(x₀))
    CurX = LeftMargin;
    incy(1.8);
    lineY_ = CurY;
    minus();
    addx(2);
    dspDx(CurX, CurY - 1);
    addx(4);
    BigParenL(CurX, CurY);
    addx(8);
    it(QStringLiteral("z"));
    addx(4);
    FracDFit(QStringLiteral("y"), QStringLiteral("x"));
    addx(2);
    minus();
    addx(2);
    FracDFit(QStringLiteral("z"), QStringLiteral("x"));
    addx(4);
    it(QStringLiteral("y"));
    addx(4);
    const std::size_t paren = Pic->ops().size();
    BigParenR(CurX, CurY);
    // The parenthesis does not move the cursor; the blanks before "＝" start past its
    // ink, which reaches further than two blanks here.
    pastInk(paren);
    ds(QStringLiteral("  ＝  ("));
    it(QStringLiteral("E"));
    minus();
    En();
    ds(QStringLiteral(")"));
    addx(4);
    it(QStringLiteral("y"));
    addx(4);
    it(QStringLiteral("z"));
    minus();
    deltaX();
    addx(4);
    it(QStringLiteral("y"));
    argx0();
    addx(8);
    diffz();

    CurX = LeftMargin;
    incy(1.5);
    ds(QStringLiteral("両辺を "));
    it(QStringLiteral("x"));
    ds(QStringLiteral(" について "));
    xSub("min");
    ds(QStringLiteral(" から "));
    xSub("max");
    ds(QStringLiteral(" まで積分すると，両端での境界条件"));
    NewLine();
    ds(QStringLiteral("により左辺は 0 になり，"));

    // 0 = (E − E⁽ⁿ⁾) ∫ y(x) z(x) dx − y(x₀) (z₁′(x₀) − z₂′(x₀))
    CurX = Indent1;
    incy(1.5);
    lineY_ = CurY;
    ds(QStringLiteral("0  =  ("));
    it(QStringLiteral("E"));
    minus();
    En();
    ds(QStringLiteral(")"));
    addx(6);
    dspIntInf(*Pic, CurX, CurY);
    addx(8);
    fnOf("y", "");
    addx(4);
    fnOf("z", "");
    addx(6);
    dVar(QStringLiteral("x"));
    minus();
    it(QStringLiteral("y"));
    argx0();
    addx(8);
    diffz();

    CurX = LeftMargin;
    incy(1.5);
    ds(QStringLiteral("となる．これから，真の固有値 "));
    it(QStringLiteral("E"));
    ds(QStringLiteral(" を与える次の式が得られる．"));
    eigenFraction(false);

    CurX = LeftMargin;
    incy(2.4);
    ds(QStringLiteral("ところが真の固有関数 "));
    fnOf("y", "");
    ds(QStringLiteral(" はまだ分からないので，右辺の計算では"));
    NewLine();
    fnOf("y", "");
    ds(QStringLiteral(" の代わりに "));
    fnOf("z", "");
    ds(QStringLiteral(" を用いる．すると次の式が得られる．"));
    eigenFraction(true);

    CurX = LeftMargin;
    incy(2.4);
    ds(QStringLiteral("こうして近似値 "));
    En();
    ds(QStringLiteral(" から，より精度のよい近似値 "));
    it(QStringLiteral("E"));
    sp(QStringLiteral("(n+1)"));
    ds(QStringLiteral(" が得られる．"));
    NewLine();
    ds(QStringLiteral("次のページでは例として，方位量子数 "));
    dspItalic(g, CurX, CurY, QStringLiteral("l"));
    addx(4);
    ds(QStringLiteral("= 1 の３次元調和振動子にこの方法を適用する．"));
}

} // namespace brindle
