// SPDX-License-Identifier: GPL-3.0-or-later
// The four pages of calyx, written as cursor scripts: the Hamiltonian and the
// variational method (page 0), the Coulomb energy of the two electrons (page 1), the
// Hartree approximation (page 2) and its radial equations with the iteration that
// solves them (page 3).
//
// Vertical steps are in lines (incy, NewLine, NewPara), horizontal nudges in pixels
// (addx); fraction parts set by hand sit a fixed number of pixels above or below the
// formula line, where the built fractions put them too.

#include "CalyxDocument.h"

#include <algorithm>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace calyx {

namespace {} // namespace

void CalyxDocument::beginPage(bool firstPage) {
    course::Surface& g = *Pic;
    g.Cls();
    // The print canvas starts in a smaller font; every page is set in the page font.
    g.FontSize = PageFontSize;
    CurX = Indent0;
    CurY = (firstPage || Printing) ? CharH : 0;
    if (firstPage && Printing) {
        g.FontSize = 16;
        CurX = 15 * CharW;
        ds(programTitle());
        g.FontSize = PageFontSize;
        incy(1.5);
        CurX = Indent0;
    }
}

// ( ∫₀ʳ 1/r + ∫ᵣ^∞ 1/r₂ ), each integral taking what follows the parentheses.
void CalyxDocument::potentialIntegrals() {
    bigParenL();
    intLim(QStringLiteral("r"), QStringLiteral("0"));
    FracMk1(QStringLiteral("1"), QStringLiteral("r"));
    addx(2);
    ds(QStringLiteral(" + "));
    intLim(QStringLiteral("∞"), QStringLiteral("r"));
    FracMk1(QStringLiteral("1"), QStringLiteral("r_2"));
    bigParenR();
}

// (1 − e^(−2ar))/r − a e^(−2ar), the fraction on a text bar of at least four rules,
// as many more as its numerator needs, both parts centred on it.
void CalyxDocument::coulombFactor() {
    textFraction(
        4, 12,
        [this] {
            ds(QStringLiteral("1"));
            minus();
            expMinus(QStringLiteral("2ar"));
        },
        12, [this] { it(QStringLiteral("r")); });
    minus();
    it(QStringLiteral("a"));
    addx(1);
    expMinus(QStringLiteral("2ar"));
}

// ---------------------------------------------------------------------------
// Page 0: the helium atom and the variational method.
void CalyxDocument::pic0() {
    beginPage(true);
    course::Surface& g = *Pic;
    dspBlue(u"(1) ヘリウム原子"_s);

    CurX = LeftMargin;
    incy(1.5);
    ds(u"　ヘリウム原子は, 正の電荷 "_s);
    it(QStringLiteral("Z"));
    addx(2);
    ds(u" (= 2) をもつ原子核と 2 個の電子からなる系である."_s);
    NewLine();
    ds(u"そのハミルトニアンは"_s);

    NewPara();
    CurX = Indent1;
    it(QStringLiteral("H"));
    ds(QStringLiteral("  =  "));
    minus();
    FracMk09(QStringLiteral("1"), QStringLiteral("2"));
    Laplacian(QStringLiteral("1"));
    minus();
    FracMk09(QStringLiteral("Z"), QStringLiteral("r_1"));
    minus();
    FracMk09(QStringLiteral("1"), QStringLiteral("2"));
    Laplacian(QStringLiteral("2"));
    minus();
    FracMk09(QStringLiteral("Z"), QStringLiteral("r_2"));
    addx(6);
    ds(QStringLiteral("+"));
    addx(6);
    FracMk09(QStringLiteral("1"), QStringLiteral("r_12"));

    NewPara();
    ds(u"で与えられる."_s);
    NewLine();
    ds(u"　水素原子と違って電子が 2 個あるため, この問題は厳密には解けない."_s);

    incy(1.5);
    CurX = Indent0;
    dspBlue(u"(2) 変分法"_s);
    NewPara();
    ds(u"　最も簡単な方法は, 水素原子と同じ形の 1s 軌道"_s);

    // φ(r) = √(a³/π) e^(−ar) = (1/√(4π)) √(4a³) e^(−ar)
    CurX = Indent1;
    incy(1.5);
    orbital();
    const std::size_t equals = g.ops().size();
    ds(QStringLiteral("  =  "));
    {
        // A radical of no width, low on the line, drawn up over the fraction a³/π. It
        // starts half a character back, but not so far that its hook meets the "=";
        // its overline rises above the cube when the cube reaches that high.
        // The radical's pieces are one construct; the bar of a³/π under it is not.
        std::optional<course::ConstructMark> mark;
        mark.emplace(g, course::ConstructKind::Radical);
        auto cube = [this] {
            it(QStringLiteral("a"));
            sp(QStringLiteral("3"));
        };
        const QRectF sign = inkOf([this] {
            double x = 0;
            dspSqrt(*Pic, x, 0, 0);
        });
        double x = MaxOf(CurX - 0.5 * CharW, course::inkBounds(g, equals).right() + kInkAir - sign.left());
        dspSqrt(g, x, CurY + 12, 0);
        // The overline on a whole pixel row (the next one up), where the stroke ends.
        const double yTop = std::floor(std::min(CurY + 12 + 1 - 25, CurY - 10 + inkOf(cube).top() - kInkAir - 1));
        g.Line(x, CurY + 13, x + 5, yTop, Gray);
        g.Line(x + 5, yTop, x + 5 + 2.4 * CharW, yTop, Gray);
        const double xMid = x + 5 + 1.2 * CharW;
        const double y0 = CurY;
        CurX = xMid - 0.5 * widthOf(cube);
        CurY = y0 - 10;
        cube();
        CurX = xMid - 0.5 * widthOf([this] { dspPi(*Pic, CurX, CurY); });
        CurY = y0 + 10;
        dspPi(*Pic, CurX, CurY);
        CurY = y0;
        mark.reset();
        CurX = xMid - 0.5 * g.TextWidth(QString(QChar(0x2500)));
        textBar(1);
        CurX = x + 5 + 2.4 * CharW + 4;
    }
    expMinus(QStringLiteral("ar"));
    ds(QStringLiteral("  =  "));
    // 1 over √(4π) on a text bar.
    textFraction(
        2, 12, [this] { ds(QStringLiteral("1")); }, 14,
        [this] {
            rootOf([this] {
                ds(QStringLiteral("4"));
                dspPi(*Pic, CurX, CurY);
            });
        });
    addx(6);
    {
        // √(4a³) under a bar three characters long (longer if the radicand is); the
        // cube is raised less, so that it stays under the bar: at most 0.12 of the
        // line, and only so far that a pixel of white stays below the bar's stroke.
        const double TH = g.TextHeight(QStringLiteral("A"));
        const double keepRaise = SupRaise;
        SupRaise = 0;
        const double cubeTop = inkOf([this] { sp(QStringLiteral("3")); }).top();
        SupRaise = keepRaise;
        const double cubeRaise = std::min(0.12, (cubeTop - 2 - kInkAir) / TH);
        auto radicand = [this, cubeRaise] {
            ds(QStringLiteral("4"));
            it(QStringLiteral("a"));
            const double raise = SupRaise;
            SupRaise = cubeRaise;
            sp(QStringLiteral("3"));
            SupRaise = raise;
        };
        rootOf(radicand);
        addx(2);
    }
    expMinus(QStringLiteral("ar"));

    NewPara();
    ds(u"を仮定することである."_s);
    NewLine();
    ds(u"　この軌道にスピンが上向きの電子と下向きの電子を 1 個ずつ入れ, 全エネルギー "_s);
    it(QStringLiteral("E"));
    NewLine();
    ds(u"の期待値が最小になるようにパラメータ "_s);
    it(QStringLiteral("a"));
    ds(u" を決める."_s);
    NewLine();
    ds(u"期待値を計算すると次のようになる."_s);

    // E(a) = 2 × (a²/2 − Z a) + (5/8) a, a little lower than 1.2 lines so that the
    // square of the numerator clears the descent of the line above.
    CurX = Indent1;
    incy(1.3);
    FuncOf(QStringLiteral("E"), QStringLiteral("a"));
    ds(u" = 2 × ("_s);
    FracMk09(QStringLiteral("a^2"), QStringLiteral("2"));
    minus();
    it(QStringLiteral("Z"));
    addx(2);
    it(QStringLiteral("a"));
    addx(2);
    ds(QStringLiteral(")"));
    ds(QStringLiteral(" + "));
    FracMk09(QStringLiteral("5"), QStringLiteral("8"));
    it(QStringLiteral("a"));

    CurX = LeftMargin;
    incy(1.5);
    ds(u"　このエネルギー "_s);
    it(QStringLiteral("E"));
    ds(u" は "_s);
    it(QStringLiteral("a"));
    ds(QStringLiteral("  =  "));
    it(QStringLiteral("Z"));
    minus();
    FracMk08(QStringLiteral("5"), QStringLiteral("16"));
    ds(QStringLiteral("  =  "));
    FracMk08(QStringLiteral("27"), QStringLiteral("16"));
    ds(u" = 1.6875 のとき最小になる."_s);

    NewPara();
    ds(u"　その最小値 "_s);
    it(QStringLiteral("E"));
    sf(QStringLiteral("min"));
    ds(QStringLiteral("  =  "));
    ds(QStringLiteral("-2.84766"));
    ds(u" を, 実測値 "_s);
    // Numbers and units as runs of their own: the PDF keeps the text of digits that
    // share a run with Latin letters only as blanks.
    ds(QStringLiteral("-79.02"));
    ds(QStringLiteral(" eV = "));
    ds(QStringLiteral("-2.904"));
    ds(u" hartree と比べてみよう."_s);

    NewPara();
    ds(u"　先に進む前に, "_s);
    FracMk1(QStringLiteral("5"), QStringLiteral("8"));
    it(QStringLiteral("a"));
    ds(u" の項について説明しておく."_s);
}

// ---------------------------------------------------------------------------
// Page 1: the Coulomb energy of the two electrons.
void CalyxDocument::pic1() {
    beginPage(false);
    course::Surface& g = *Pic;
    dspBlue(u"(3) 電子間クーロン相互作用"_s);

    CurX = LeftMargin;
    incy(1.5);
    ds(u"　2 個の電子の間のクーロン相互作用エネルギーの期待値は, 次の積分で表される."_s);

    // V_c = ∫∫ |φ(r₁)|² (1/r₁₂) |φ(r₂)|² d𝐫₁ d𝐫₂
    CurX = Indent1;
    incy(1.5);
    it(QStringLiteral("V"));
    sf(QStringLiteral("c"));
    ds(QStringLiteral("  =  "));
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    ds(QStringLiteral("|"));
    orbitalOf(QStringLiteral("1"));
    ds(QStringLiteral("|"));
    sp(QStringLiteral("2"));
    FracMk1(QStringLiteral("1"), QStringLiteral("r_12"));
    addx(2);
    ds(QStringLiteral("|"));
    orbitalOf(QStringLiteral("2"));
    ds(QStringLiteral("|"));
    sp(QStringLiteral("2"));
    addx(4);
    ddr();
    sf(QStringLiteral("1"));
    addx(4);
    ddr();
    sf(QStringLiteral("2"));

    CurX = LeftMargin;
    incy(1.8);
    ds(u"　この二重積分を次のように分けて考える."_s);

    // V_c = ∫ |φ(r₁)|² ϕ(r₁) d𝐫₁,   ϕ(r₁) = ∫ (1/r₁₂) |φ(r₂)|² d𝐫₂
    CurX = Indent1;
    incy(1.6);
    it(QStringLiteral("V"));
    sf(QStringLiteral("c"));
    ds(QStringLiteral("  =  "));
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    ds(QStringLiteral("|"));
    orbitalOf(QStringLiteral("1"));
    ds(QStringLiteral("|"));
    sp(QStringLiteral("2"));
    addx(2);
    potentialOf(QStringLiteral("1"));
    addx(4);
    ddr();
    sf(QStringLiteral("1"));
    // Off the subscript, so the comma does not read as a prime on it.
    addx(3);
    ds(QStringLiteral(",      "));
    potentialOf(QStringLiteral("1"));
    ds(QStringLiteral("  =  "));
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    FracMk1(QStringLiteral("1"), QStringLiteral("r_12"));
    addx(2);
    ds(QStringLiteral("|"));
    orbitalOf(QStringLiteral("2"));
    ds(QStringLiteral("|"));
    sp(QStringLiteral("2"));
    addx(4);
    ddr();
    sf(QStringLiteral("2"));

    CurX = LeftMargin;
    incy(1.5);
    ds(QStringLiteral("　1/"));
    it(QStringLiteral("r"));
    sf(QStringLiteral("12"));
    ds(u" には, 次の多重極展開を用いる."_s);

    // 1/r₁₂ = Σ_l Σ_m 4π/(2l+1) r_<^l / r_>^(l+1) Y_lm(θ₁, ϕ₁) Y_lm(θ₂, ϕ₂)*
    CurX = Indent1;
    incy(2);
    {
        FracMk1(QStringLiteral("1"), QStringLiteral("r_12"));
        ds(QStringLiteral("  =  "));
        sumLim(QStringLiteral("l=0"), QStringLiteral("∞"));
        // The lower limits are wider than the signs: room between the sums.
        addx(14);
        sumLim(QStringLiteral("m=-l"), QStringLiteral("l"));
        addx(10);
        textFraction(
            2, 12,
            [this] {
                ds(QStringLiteral("4"));
                dspPi(*Pic, CurX, CurY);
            },
            12,
            [this] {
                ds(QStringLiteral("2"));
                it(QStringLiteral("l"));
                addx(1);
                ds(QStringLiteral("+1"));
            });
        addx(4);
        textFraction(
            2, 14,
            [this] {
                it(QStringLiteral("r"));
                scripts(QStringLiteral("<"), QStringLiteral("l"));
            },
            16,
            [this] {
                it(QStringLiteral("r"));
                scripts(QStringLiteral(">"), QStringLiteral("l+1"));
            });
        addx(6);
        it(QStringLiteral("Y"));
        sf(QStringLiteral("lm"));
        ds(QStringLiteral("("));
        theta();
        sf(QStringLiteral("1"));
        ds(QStringLiteral(","));
        addx(6);
        phiClear();
        sf(QStringLiteral("1"));
        ds(QStringLiteral(")"));
        addx(4);
        it(QStringLiteral("Y"));
        sf(QStringLiteral("lm"));
        ds(QStringLiteral("("));
        theta();
        sf(QStringLiteral("2"));
        ds(QStringLiteral(","));
        addx(6);
        phiClear();
        sf(QStringLiteral("2"));
        ds(QStringLiteral(")"));
        sp(QStringLiteral("*"));
    }

    CurX = LeftMargin;
    incy(2);
    ds(u"　軌道は丸い (角度によらない) ので, "_s);
    dspItalic(g, CurX, CurY, QStringLiteral("l"));
    ds(u" = 0 の項だけが残る."_s);

    // 1/r₁₂ = { 1/r₁ (r₁ > r₂);  1/r₂ (r₁ < r₂) }
    CurX = Indent1;
    incy(2.2);
    {
        const double y0 = CurY;
        FracMk09(QStringLiteral("1"), QStringLiteral("r_12"));
        ds(QStringLiteral("  =  "));
        const double xb = CurX;
        // The two cases first, then the brace sized to their ink.
        const std::size_t cases = Pic->ops().size();
        auto caseLine = [&](double y, const QString& den, const QString& rel) {
            CurX = xb + 2 * CharW;
            CurY = y;
            FracMk09(QStringLiteral("1"), den);
            ds(QStringLiteral("      ("));
            it(QStringLiteral("r"));
            sf(QStringLiteral("1"));
            ds(QStringLiteral(" "));
            relation(rel);
            ds(QStringLiteral(" "));
            it(QStringLiteral("r"));
            sf(QStringLiteral("2"));
            ds(u" のとき)"_s);
        };
        caseLine(y0 - CharH, QStringLiteral("r_1"), QStringLiteral(">"));
        caseLine(y0 + CharH, QStringLiteral("r_2"), QStringLiteral("<"));
        const QRectF casesInk = course::inkBounds(*Pic, cases);
        Pic->setEnclosed(ColBraceOver(0, xb, casesInk, BraceBuild::FivePieces), casesInk);
        CurY = y0;
    }

    CurX = LeftMargin;
    incy(2);
    ds(u"　したがって"_s);
    incy(1.5);
    CurX = Indent1;
    // ϕ(r) = ( ∫₀ʳ 1/r + ∫ᵣ^∞ 1/r₂ ) φ(r₂)² 4π r₂² dr₂
    potential();
    ds(QStringLiteral("  =  "));
    const double xEq = CurX;
    potentialIntegrals();
    orbitalOf(QStringLiteral("2"));
    sp(QStringLiteral("2"));
    addx(2);
    ds(QStringLiteral("4"));
    dspPi(*Pic, CurX, CurY);
    addx(2);
    it(QStringLiteral("r"));
    scripts(QStringLiteral("2"), QStringLiteral("2"));
    dr();
    sf(QStringLiteral("2"));

    // = (1 − e^(−2ar))/r − a e^(−2ar)
    incy(2);
    CurX = xEq - g.TextWidth(QStringLiteral("= "));
    ds(QStringLiteral("= "));
    coulombFactor();

    // V_c = ∫₀^∞ 4a³ e^(−2ar) r² dr ( … )
    CurX = Indent1;
    incy(2);
    it(QStringLiteral("V"));
    sf(QStringLiteral("c"));
    ds(QStringLiteral("  =  "));
    const double xEq2 = CurX;
    intLim(QStringLiteral("∞"), QStringLiteral("0"));
    ds(QStringLiteral("4"));
    it(QStringLiteral("a"));
    sp(QStringLiteral("3"));
    expMinus(QStringLiteral("2ar"));
    SqOf(QStringLiteral("r"));
    dr();
    addx(4);
    bigParenL();
    coulombFactor();
    bigParenR();

    // = (1 − 1/4 − 2/16) a = (5/8) a
    incy(1.8);
    CurX = xEq2 - g.TextWidth(QStringLiteral("= "));
    ds(QStringLiteral("= (1"));
    minus();
    FracMk09(QStringLiteral("1"), QStringLiteral("4"));
    minus();
    FracMk09(QStringLiteral("2"), QStringLiteral("16"));
    addx(2);
    ds(QStringLiteral(")"));
    it(QStringLiteral("a"));
    ds(QStringLiteral("  =  "));
    FracMk09(QStringLiteral("5"), QStringLiteral("8"));
    it(QStringLiteral("a"));
}

// ---------------------------------------------------------------------------
// Page 2: the Hartree approximation.
void CalyxDocument::pic2() {
    beginPage(false);
    course::Surface& g = *Pic;
    dspBlue(u"(4) ハートリー近似"_s);

    CurX = LeftMargin;
    incy(1.5);
    ds(u"　変分法では軌道 "_s);
    orbital();
    ds(u" を指数関数 "_s);
    expMinus(QStringLiteral("ar"));
    ds(u" の形に限った. ハートリー近似では "_s);
    orbital();
    ds(u" として"_s);
    NewLine();
    ds(u"任意の関数を許し, その中で全エネルギー "_s);
    it(QStringLiteral("E"));
    ds(u" を最小にするものを選ぶ."_s);

    NewPara();
    ds(u"　もう少し正確に述べよう. 全エネルギーは次の式で表される."_s);

    // E[φ] = 2 × ∫ [ ½ (grad φ(r))² − (Z/r) φ(r)² ] d𝐫 + ∫∫ φ(r₁)² φ(r₂)² / r₁₂ d𝐫₁ d𝐫₂
    CurX = LeftMargin;
    incy(1.5);
    // The tall square brackets of this page reach over the fractions inside them.
    BracketGap = 7;
    it(QStringLiteral("E"));
    ds(QStringLiteral("["));
    phiBig();
    ds(QStringLiteral("]"));
    ds(u" = 2 × "_s);
    dspIntegral(*Pic, CurX, CurY);
    addx(2);
    bigSquareL();
    FracMk09(QStringLiteral("1"), QStringLiteral("2"));
    ds(QStringLiteral("("));
    Courier(QStringLiteral("grad"));
    addx(4);
    orbital();
    ds(QStringLiteral(")"));
    sp(QStringLiteral("2"));
    minus();
    FracMk1(QStringLiteral("Z"), QStringLiteral("r"));
    orbital();
    sp(QStringLiteral("2"));
    bigSquareR();
    ddr();
    ds(QStringLiteral(" + "));
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    {
        const double x0 = CurX;
        const double y0 = CurY;
        CurY = y0 - 15;
        orbitalOf(QStringLiteral("1"));
        sp(QStringLiteral("2"));
        orbitalOf(QStringLiteral("2"));
        sp(QStringLiteral("2"));
        const double xNum = CurX;
        CurY = y0 + 12;
        CurX = x0 + 4 * CharW;
        it(QStringLiteral("r"));
        sf(QStringLiteral("12"));
        CurY = y0;
        CurX = x0;
        textBar(6);
        CurX = MaxOf(CurX, xNum) + 2;
    }
    ddr();
    sf(QStringLiteral("1"));
    addx(4);
    ddr();
    sf(QStringLiteral("2"));

    CurX = LeftMargin;
    incy(1.5);
    ds(u"　これを "_s);
    orbital();
    ds(u" の積分汎関数とみなし, その変分がゼロになる条件を考える."_s);

    // δE / δφ = 0, drawn line by line.
    {
        const double x0 = 5 * CharW + Indent1;
        CurX = x0;
        incy(1.2);
        delta();
        it(QStringLiteral("E"));
        CurX = x0;
        incy(0.5);
        const std::size_t bar = g.ops().size();
        textBar(2);
        const QRectF barInk = course::inkBounds(g.ops()[bar]);
        ds(QStringLiteral("  =  0"));
        CurX = x0;
        incy(0.5);
        // The large φ is raised on its line: δφ goes down as far as it needs to clear
        // the bar, and the page goes on from where its line was.
        const double y = CurY;
        auto dPhi = [this] {
            delta();
            phiBig();
        };
        CurY = MaxOf(y, barInk.bottom() + kInkAir - inkOf(dPhi).top());
        dPhi();
        CurY = y;
    }

    CurX = LeftMargin;
    incy(1.2);
    ds(u"　そのオイラーの方程式から, ハートリー方程式"_s);

    // [ −½∇² − Z/r + ϕ(r) ] φ(r) = ε φ(r)
    CurX = Indent1;
    incy(1.5);
    bigSquareL();
    minus();
    FracMk09(QStringLiteral("1"), QStringLiteral("2"));
    Laplacian(QString());
    minus();
    FracMk1(QStringLiteral("Z"), QStringLiteral("r"));
    ds(QStringLiteral(" + "));
    potential();
    bigSquareR();
    orbital();
    ds(QStringLiteral("  =  "));
    epsln();
    addx(2);
    orbital();

    // ϕ(r₁) = ∫ (1/r₁₂) |φ(r₂)|² d𝐫₂
    CurX = 13.5 * CharW + Indent1;
    incy(1.6);
    potentialOf(QStringLiteral("1"));
    ds(QStringLiteral("  =  "));
    dspIntegral(*Pic, CurX, CurY);
    addx(4);
    FracMk1(QStringLiteral("1"), QStringLiteral("r_12"));
    addx(2);
    ds(QStringLiteral("|"));
    orbitalOf(QStringLiteral("2"));
    ds(QStringLiteral("|"));
    sp(QStringLiteral("2"));
    addx(4);
    ddr();
    sf(QStringLiteral("2"));

    NewPara();
    ds(u"が得られる."_s);
    NewLine();
    ds(u"　右辺の定数 "_s);
    epsln();
    ds(u" は, 数学的には "_s);
    orbital();
    ds(u" の規格化条件に対するラグランジュの未定乗数であり,"_s);
    NewLine();
    ds(u"物理的には"_s);
    dspMSkanji(g, CurX, CurY + 2, u"一"_s);
    ds(u"電子エネルギーである."_s);

    NewLine();
    ds(u"　複数の電子のスピンが平行なときには交換項が現れ, 方程式はハートリー-フォック方程式"_s);
    NewLine();
    ds(u"と呼ばれる. ヘリウムの基底状態 (1s)"_s);
    sp(QStringLiteral("2"));
    ds(u" では, 2 個の電子のスピンは反平行なので,"_s);
    NewLine();
    ds(u"交換項は現れない."_s);
}

// ---------------------------------------------------------------------------
// Page 3: the radial Hartree equations and the iteration.
void CalyxDocument::pic3() {
    beginPage(false);
    course::Surface& g = *Pic;
    dspBlue(u"(5) ハートリー近似を実行する."_s);

    NewPara();
    ds(u"　軌道は球対称なので, 次のようにおく."_s);

    // φ(r) = (1/√(4π)) (1/r) P(r)
    CurX = Indent1;
    incy(1.5);
    orbital();
    ds(QStringLiteral("  =  "));
    textFraction(
        2, 12, [this] { ds(QStringLiteral("1")); }, 13,
        [this] {
            rootOf([this] {
                ds(QStringLiteral("4"));
                dspPi(*Pic, CurX, CurY);
            });
        });
    addx(6);
    FracMk1(QStringLiteral("1"), QStringLiteral("r"));
    addx(2);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);

    CurX = LeftMargin;
    incy(1.5);
    ds(u"すると, 上の 2 つの式は次のようになる."_s);

    // [A]  −½ d²P/dr² − (Z/r) P(r) + ϕ(r) P(r) = ε P(r)
    incy(1.5);
    CurX = TagCol;
    ds(QStringLiteral("[A]"));
    CurX = Indent1;
    minus();
    FracMk09(QStringLiteral("1"), QStringLiteral("2"));
    // Both bars stand on one height: a clear break keeps them two fractions.
    addx(6);
    FracD2Fit(QStringLiteral("P"), QStringLiteral("r"),
              {.liftNumerator = false, .squareClearOfLetter = true});
    addx(4);
    minus();
    FracMk1(QStringLiteral("Z"), QStringLiteral("r"));
    addx(2);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    ds(QStringLiteral(" + "));
    potential();
    addx(2);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    ds(QStringLiteral("  =  "));
    epsln();
    addx(2);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);

    // ϕ(r) = ( ∫₀ʳ 1/r + ∫ᵣ^∞ 1/r₂ ) P(r₂)² dr₂
    CurX = Indent1;
    incy(2);
    potential();
    ds(QStringLiteral("  =  "));
    const double xEq = CurX;
    potentialIntegrals();
    itClear(QStringLiteral("P"));
    argSub(QStringLiteral("2"));
    sp(QStringLiteral("2"));
    dr();
    sf(QStringLiteral("2"));

    // [B]  = (1/r) ∫₀ʳ P(r₂)² dr₂ + ∫ᵣ^∞ (1/r₂) P(r₂)² dr₂
    incy(2);
    CurX = TagCol;
    ds(QStringLiteral("[B]"));
    CurX = xEq - g.TextWidth(QStringLiteral("= "));
    ds(QStringLiteral("= "));
    FracMk1(QStringLiteral("1"), QStringLiteral("r"));
    intLim(QStringLiteral("r"), QStringLiteral("0"));
    itClear(QStringLiteral("P"));
    argSub(QStringLiteral("2"));
    sp(QStringLiteral("2"));
    dr();
    sf(QStringLiteral("2"));
    ds(QStringLiteral(" + "));
    intLim(QStringLiteral("∞"), QStringLiteral("r"));
    FracMk1(QStringLiteral("1"), QStringLiteral("r_2"));
    itClear(QStringLiteral("P"));
    argSub(QStringLiteral("2"));
    sp(QStringLiteral("2"));
    dr();
    sf(QStringLiteral("2"));

    // [C]  ∫₀^∞ P(r)² dr = 1
    CurX = LeftMargin;
    incy(2);
    ds(u"ただし, "_s);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    ds(u" は"_s);
    incy(1.5);
    CurX = TagCol;
    ds(QStringLiteral("[C]"));
    CurX = 3 * CharW + Indent1;
    intLim(QStringLiteral("∞"), QStringLiteral("0"));
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    sp(QStringLiteral("2"));
    dr();
    ds(QStringLiteral(" = 1"));
    CurX = LeftMargin;
    incy(1.5);
    ds(u"と規格化されている."_s);

    incy(1.5);
    CurX = Indent0;
    dspBlue(u"(6)  反復計算の手続き"_s);
    NewPara();
    ds(u"　1. 適当な "_s);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    ds(u" から出発し, [B] によって "_s);
    potential();
    ds(u" を求める."_s);
    NewLine();
    ds(u"　2. その "_s);
    potential();
    ds(u" に対して固有値問題 [A] を解き, 固有値 "_s);
    epsln();
    ds(u" と固有関数 "_s);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    ds(u" を求める."_s);
    NewLine();
    ds(u"　3. その "_s);
    itClear(QStringLiteral("P"));
    argr(g, CurX, CurY);
    ds(u" を [C] によって規格化し, [B] によって "_s);
    potential();
    ds(u" を求める."_s);
    NewLine();
    ds(u"　4. "_s);
    epsln();
    ds(u" が収束するまで 2, 3 を繰り返す."_s);

    NewPara();
    ds(u"　この数値計算は, 別のプログラムで実行する."_s);
}

} // namespace calyx
