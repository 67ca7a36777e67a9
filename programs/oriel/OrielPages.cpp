// SPDX-License-Identifier: GPL-3.0-or-later
// The three pages: the problem and the exact result (page 0), the expansion in
// eigenfunctions with the phase factors (page 1), and the kernel F(x, y, s) with the
// closed form of Ψ(x, t) (page 2).

#include "OrielDocument.h"

#include <engine/textruns/SavedFont.h>

#include <algorithm>
#include <cmath>

namespace oriel {

using course::Surface;

void OrielDocument::pic0() {
    Surface& g = pic();
    g.Cls();
    TagCol = course::nint(50 * CharW);
    CurY = 0;
    if (Printing) {
        CurY = CharH;
        CurX = 15 * CharW;
        g.FontSize = 16;
        ds(title());
        g.FontSize = PageFontSize;
        incy(1.5);
    }

    // (1) The problem.
    CurX = Indent0;
    dspBlue(QStringLiteral("(1) 概 要."));
    NewPara();
    ds(QStringLiteral("　アニメーションのプログラム「振動する波束」は，調和振動子のポテンシャル"));
    NewLine();
    ds(QStringLiteral("の中で波束が時間とともにどのように変化するかを描いて見せる．そのためには，"));
    NewLine();
    ds(QStringLiteral("時間を含むシュレーディンガー方程式を解かなければならない："));

    // [1] i ∂f/∂t = H f(t),  H = −½ ∂²/∂x² + V(x)
    NewLine();
    incy(0.7);
    tagAt(QStringLiteral("[1]"), TagCol);
    formulaAt(10);
    it(QStringLiteral("i"));
    incx(1);
    PartialFrac(QStringLiteral("f"), QStringLiteral("t"));
    // The bar runs on past ∂t, where the cursor is left.
    incx(0.4);
    ds(QStringLiteral("  =  "));
    it(QStringLiteral("H"));
    incx(0.8);
    ft(CurY);
    ds(QStringLiteral(" ,   "));
    it(QStringLiteral("H"));
    ds(QStringLiteral("  =  － "));
    dspHalf(g, CurX, CurY);
    incx(0.8);
    PartialFrac2(QString(), QStringLiteral("x")); // the operator ∂²/∂x², with no function under it
    ds(QStringLiteral("  +  "));
    it(QStringLiteral("V"));
    incx(0.4);
    argx(g, CurX, CurY);

    NewLine();
    incy(0.7);
    ds(QStringLiteral("　この方程式は Crank-Nicolson 法で数値的に解ける（その方法は別に説明する）．"));
    NewLine();
    ds(QStringLiteral("　しかし調和振動子の場合には，この方程式を厳密に解くことができる．"));
    NewLine();
    ds(QStringLiteral("　以下では，まず厳密な計算の結果を示し，そのあとで計算の詳細を述べる．"));

    // (2) The exact result.
    incy(1.5);
    CurX = Indent0;
    headingRun(QStringLiteral("(2) 厳密な計算の結果."));
    NewPara();
    ds(QStringLiteral("　時刻 "));
    it(QStringLiteral("t"));
    ds(QStringLiteral(" = 0 での波動関数として，"));
    it(QStringLiteral("x"));
    ds(QStringLiteral(" = "));
    it(QStringLiteral("A"));
    ds(QStringLiteral(" を中心とする幅 "));
    it(QStringLiteral("B"));
    ds(QStringLiteral(" のガウス型の関数をとる："));

    // [2] Ψ(x, 0) = f(x) = π^(−1/4) B^(−1/2) exp[−(x − A)²/(2B²)]
    NewLine();
    incy(0.8);
    BracketGap = 5;
    tagAt(QStringLiteral("[2]"), TagCol);
    formulaAt(5);
    Psi(g, CurX, CurY, 0);
    ds(QStringLiteral("  =  "));
    fx(g, CurX, CurY);
    ds(QStringLiteral("  =  "));
    piPowMinusQuarter();
    incx(0.2);
    it(QStringLiteral("B"));
    sp(QStringLiteral("-1/2"));
    expOfMinus(
        [this] {
            ds(QStringLiteral("("));
            it(QStringLiteral("x"));
            minus();
            it(QStringLiteral("A"));
            ds(QStringLiteral(")"));
            sp(QStringLiteral("2"));
        },
        [this] {
            ds(QStringLiteral("2"));
            SqOf(QStringLiteral("B"));
        });

    NewLine();
    incy(0.9);
    ds(QStringLiteral("　時刻 "));
    it(QStringLiteral("t"));
    ds(QStringLiteral(" での波動関数 "));
    Psi(g, CurX, CurY, 1);
    ds(QStringLiteral(" は，以下に示す手順で求められる．その具体的な形は"));
    NewLine();
    ds(QStringLiteral("複雑であるが，絶対値の 2 乗は次のような簡単な形になる："));

    // [3] |Ψ(x, t)|² = 1/(√π b(t)) exp[−(x − A cos ωt)²/b(t)²]
    NewLine();
    incy(0.8);
    tagAt(QStringLiteral("[3]"), TagCol);
    formulaAt(8);
    AbsPsiSq(g, CurX, CurY);
    ds(QStringLiteral("  =  "));
    fraction([this] { ds(QStringLiteral("1")); },
             [this] {
                 SqrtPi(pic(), CurX, CurY);
                 incx(0.2);
                 b_of_t();
             });
    expOfMinus(
        [this] {
            ds(QStringLiteral("("));
            it(QStringLiteral("x"));
            minus();
            it(QStringLiteral("A"));
            incx(0.3);
            cos_omega_t();
            addx(2); // the italic t leans into the parenthesis
            ds(QStringLiteral(")"));
            sp(QStringLiteral("2"));
        },
        [this] {
            b_of_t();
            sp(QStringLiteral("2"));
        });

    // [4] b(t) = (1/α) √((Bα)² cos² ωt + sin² ωt/(Bα)²)
    incy(2.4);
    tagAt(QStringLiteral("[4]"), TagCol);
    formulaAt(7);
    b_of_t();
    ds(QStringLiteral("  =  "));
    fraction([this] { ds(QStringLiteral("1")); }, [this] { alphaOnLine(); });
    formulaAt(15.5);
    const auto radicand = [this] {
        ds(QStringLiteral("("));
        B_alpha();
        ds(QStringLiteral(")"));
        sp(QStringLiteral("2"));
        incx(0.2);
        cos2_omega_t();
        ds(QStringLiteral("  +  "));
        fraction([this] { sin2_omega_t(); },
                 [this] {
                     ds(QStringLiteral("("));
                     B_alpha();
                     ds(QStringLiteral(")"));
                     sp(QStringLiteral("2"));
                 });
    };
    // The overline reaches at least to 26.5 columns.
    rootOver(
        [&] {
            incx(0.2);
            radicand();
        },
        26.5 * CharW);

    // The motion of the packet.
    NewLine();
    incy(0.3);
    incy(0.6);
    ds(QStringLiteral("　波束の中心は単振動 "));
    it(QStringLiteral("A"));
    incx(0.3);
    cos_omega_t();
    ds(QStringLiteral(" をおこない，波束の幅 "));
    b_of_t();
    ds(QStringLiteral(" は "));
    it(QStringLiteral("B"));
    ds(QStringLiteral(" と 1/("));
    it(QStringLiteral("B"));
    addx(2);
    alphaOnLine();
    sp(QStringLiteral("2"));
    ds(QStringLiteral(") の間を周期的に"));
    NewLine();
    ds(QStringLiteral("変化する．「振動する波束」はこの様子を描いたもので，はじめは "));
    it(QStringLiteral("B"));
    ds(QStringLiteral(" = 0.7"));
    ds(QStringLiteral("/"));
    alphaOnLine();
    ds(QStringLiteral("，"));
    NewLine();
    ds(QStringLiteral("観測の後は "));
    it(QStringLiteral("B"));
    ds(QStringLiteral(" = 0.3"));
    ds(QStringLiteral("/"));
    alphaOnLine();
    ds(QStringLiteral(" としている．"));
}

void OrielDocument::pic1() {
    Surface& g = pic();
    g.Cls();
    CurX = Indent0;
    CurY = Printing ? CharH : 0;
    g.ForeColor = Blue;
    ds(QStringLiteral("(3) "));
    Psi(g, CurX, CurY, 0);
    incx(0.8);
    ds(QStringLiteral("から"));
    incx(0.8);
    Psi(g, CurX, CurY, 1);
    incx(0.8);
    ds(QStringLiteral("を求める."));
    g.ForeColor = MyColor[0];
    NewPara();

    ds(QStringLiteral("　時刻 "));
    it(QStringLiteral("t"));
    ds(QStringLiteral(" = 0 での波動関数 "));
    Psi(g, CurX, CurY, 0);
    ds(QStringLiteral(" = "));
    fx(g, CurX, CurY);
    ds(QStringLiteral(" が与えられたとする．これを調和振動子の"));
    NewLine();
    ds(QStringLiteral("固有関数 "));
    un();
    argx(g, CurX, CurY);
    ds(QStringLiteral(" で展開して"));

    // [5] f(x) = Σ c_n u_n(x)
    NewLine();
    incy(0.75);
    tagAt(QStringLiteral("[5]"), TagCol);
    formulaAt(10);
    fx(g, CurX, CurY);
    ds(QStringLiteral("  =  "));
    sumN();
    it(QStringLiteral("c"));
    sf(QStringLiteral("n"));
    un();
    argx(g, CurX, CurY);

    NewLine();
    incy(0.9);
    ds(QStringLiteral("と書くと，展開係数は内積で与えられる："));

    // [6] c_n = (u_n, f) = ∫ u_n(y)* f(y) dy
    NewLine();
    incy(0.5);
    tagAt(QStringLiteral("[6]"), TagCol);
    formulaAt(10);
    it(QStringLiteral("c"));
    sf(QStringLiteral("n"));
    ds(QStringLiteral("  =  ("));
    un();
    // The comma stands off the subscript and on the letters' baseline: set close and
    // high, it read as a prime on u_n.
    addx(3);
    dsp(g, CurX, CurY + std::max(0.0, std::round(italicBaseline() - g.measure(QStringLiteral(",")).ascent)),
        QStringLiteral(","));
    ds(QStringLiteral(" "));
    it(QStringLiteral("f"));
    addx(2);
    clearOfLast([this] { ds(QStringLiteral(")  =  ")); });
    integralInf();
    un();
    argy(g, CurX, CurY);
    sp(QStringLiteral("*"));
    incx(0.2);
    it(QStringLiteral("f"));
    addx(3);
    argy(g, CurX, CurY);
    incx(0.3);
    dVar(QStringLiteral("y"));

    NewLine();
    incy(0.6);
    ds(QStringLiteral("　時刻 "));
    it(QStringLiteral("t"));
    ds(QStringLiteral(" での波動関数は，[5] の右辺の各項に位相因子 "));
    PhaseFactor();
    ds(QStringLiteral(" を掛け"));
    NewLine();
    ds(QStringLiteral("れば得られる："));

    // [7] Ψ(x, t) = Σ c_n e^(−iE_n t/ħ) u_n(x)
    incy(2);
    tagAt(QStringLiteral("[7]"), TagCol);
    formulaAt(10);
    Psi(g, CurX, CurY, 1);
    ds(QStringLiteral("  =  "));
    sumN();
    it(QStringLiteral("c"));
    sf(QStringLiteral("n"));
    incx(0.2);
    PhaseFactor();
    incx(0.2);
    un();
    argx(g, CurX, CurY);

    NewLine();
    incy(0.9);
    ds(QStringLiteral("　この議論は調和振動子に限らず一般に成り立つ（教科書 2.6 節）．調和振動子"));
    NewLine();
    ds(QStringLiteral("の場合には，エネルギー固有値は"));

    // [8] E_n = (n + ½) ħω
    incy(1.3);
    tagAt(QStringLiteral("[8]"), TagCol);
    formulaAt(10);
    it(QStringLiteral("E"));
    sf(QStringLiteral("n"));
    ds(QStringLiteral("  =  ("));
    it(QStringLiteral("n"));
    ds(QStringLiteral(" + "));
    dspHalf(g, CurX, CurY);
    ds(QStringLiteral(" )"));
    incx(0.2);
    hbar(g, CurX, CurY);
    dspOmega(g, CurX, CurY);

    NewLine();
    incy(0.3);
    ds(QStringLiteral("であって，等間隔に並んでいる．そこで"));

    // [9] s = e^(−iωt)
    incy(1.3);
    tagAt(QStringLiteral("[9]"), TagCol);
    formulaAt(10);
    it(QStringLiteral("s"));
    ds(QStringLiteral("  =  "));
    Large_e();
    {
        course::SavedFont keep(g);
        g.FontSize = 0.85 * PageFontSize;
        incy(-0.3);
        dspCourier(g, CurX, CurY - 1, QStringLiteral("-"));
        it(QStringLiteral("i"));
        addx(2);
        OmegaT();
        incy(0.3);
    }

    NewLine();
    incy(0.2);
    ds(QStringLiteral("とおくと，[7] は次のようになる："));

    // [10] Ψ(x, t) = s^(1/2) Σ s^n c_n u_n(x)
    incy(1.6);
    tagAt(QStringLiteral("[10]"), TagCol);
    formulaAt(10);
    Psi(g, CurX, CurY, 1);
    ds(QStringLiteral("  =  "));
    sPowHalf();
    incx(0.3);
    sumN();
    it(QStringLiteral("s"));
    sp(QStringLiteral("n"));
    it(QStringLiteral("c"));
    sf(QStringLiteral("n"));
    un();
    argx(g, CurX, CurY);

    NewLine();
    incy(0.9);
    ds(QStringLiteral("これに [6] の "));
    it(QStringLiteral("c"));
    sf(QStringLiteral("n"));
    ds(QStringLiteral(" を代入すると，次式が得られる："));

    // [11] Ψ(x, t) = s^(1/2) ∫ Σ s^n u_n(x) u_n(y) f(y) dy
    incy(1.7);
    tagAt(QStringLiteral("[11]"), TagCol);
    formulaAt(5);
    Psi(g, CurX, CurY, 1);
    ds(QStringLiteral("  =  "));
    sPowHalf();
    incx(0.3);
    integralInf();
    sumN();
    it(QStringLiteral("s"));
    sp(QStringLiteral("n"));
    un();
    argx(g, CurX, CurY);
    incx(0.2);
    un();
    argy(g, CurX, CurY);
    incx(0.2);
    it(QStringLiteral("f"));
    addx(3);
    argy(g, CurX, CurY);
    incx(0.3);
    dVar(QStringLiteral("y"));
}

void OrielDocument::pic2() {
    Surface& g = pic();
    g.Cls();
    CurY = CharH;
    CurX = Indent0;
    dspBlue(QStringLiteral("(4) さらに計算を進める."));
    NewPara();
    ds(QStringLiteral("　[11] に現れる "));
    it(QStringLiteral("n"));
    ds(QStringLiteral(" についての無限級数"));

    // F(x, y, s) = Σ s^n u_n(x) u_n(y)
    NewLine();
    incy(1.0);
    tagAt(QStringLiteral("教科書 (4.31)"), TagCol);
    formulaAt(10);
    Fxys();
    ds(QStringLiteral("  =  "));
    sumN();
    it(QStringLiteral("s"));
    sp(QStringLiteral("n"));
    un();
    argx(g, CurX, CurY);
    incx(0.2);
    un();
    argy(g, CurX, CurY);

    NewLine();
    incy(1.0);
    ds(QStringLiteral("は厳密に和をとることができて（教科書の問題 4.7），その結果は次のとおりである："));

    // F(x, y, s) = α/(√π √(1 − s²)) exp(−[(1 + s²)α²(x² + y²) − 4sα²xy]/[2(1 − s²)])
    NewLine();
    incy(0.9);
    const auto closedForm = [this] {
        Fxys();
        ds(QStringLiteral("  =  "));
        fraction([this] { alphaOnLine(); },
                 [this] {
                     SqrtPi(pic(), CurX, CurY);
                     incx(0.2);
                     const double w = widthOf([this] { OneSubSsq(); });
                     // The sign and its bar stand high enough for the square of s: the
                     // bar, drawn a pixel below the sign's top and set on a whole pixel
                     // row, ends kInkAir above the radicand's ink.
                     double x = CurX;
                     const double top = inkExtent([this] { OneSubSsq(); }).top();
                     dspSqrt(pic(), x, std::min(CurY + 0.1 * CharH, std::floor(top - kInkAir) - 2), w + 0.2 * CharW);
                     CurX = x;
                     CurX -= w + 0.1 * CharW;
                     OneSubSsq();
                     incx(0.1);
                 });
        incx(0.3);
        expOpen();
        fraction(
            [this] {
                ParOneAddSsq();
                alphaOnLine();
                sp(QStringLiteral("2"));
                ds(QStringLiteral("("));
                SqOf(QStringLiteral("x"));
                ds(QStringLiteral(" + "));
                SqOf(QStringLiteral("y"));
                ds(QStringLiteral(")"));
                minus();
                ds(QStringLiteral("4"));
                it(QStringLiteral("s"));
                alphaOnLine();
                sp(QStringLiteral("2"));
                it(QStringLiteral("xy"));
            },
            [this] {
                ds(QStringLiteral("2"));
                ParOneSubSsq();
            });
        tallBracket(2);
    };
    // The tag stands six columns right of the others, and clear of the formula.
    const double formulaEnd = 5 * CharW + widthOf(closedForm);
    tagAt(QStringLiteral("教科書 (4.32)"), std::max(TagCol + 6 * CharW, formulaEnd + CharW));
    formulaAt(5);
    closedForm();

    NewLine();
    incy(1.0);
    ds(QStringLiteral("　したがって，求める波動関数は"));

    // [12] Ψ(x, t) = s^(1/2) ∫ F(x, y, s) f(y) dy
    NewLine();
    incy(0.9);
    tagAt(QStringLiteral("[12]"), TagCol);
    formulaAt(10);
    Psi(g, CurX, CurY, 1);
    ds(QStringLiteral("  =  "));
    sPowHalf();
    incx(0.3);
    integralInf();
    Fxys();
    incx(0.2);
    it(QStringLiteral("f"));
    addx(3);
    argy(g, CurX, CurY);
    incx(0.3);
    dVar(QStringLiteral("y"));

    NewLine();
    incy(1.0);
    ds(QStringLiteral("である．"));
    it(QStringLiteral("y"));
    // "(A." and "9)" are separate runs: a PDF loses the text of a digit that follows a
    // letter within one run of the body face.
    ds(QStringLiteral(" についての積分は教科書 付録 A のガウス積分の公式 (A."));
    ds(QStringLiteral("9) を用いて"));
    NewLine();
    ds(QStringLiteral("実行できる．その結果は次のとおりである："));

    // The closed form on three lines.
    BracketGap = 0;
    NewLine();
    incy(1.2);
    formulaAt(3);
    Psi(g, CurX, CurY, 1);
    ds(QStringLiteral("  =  "));
    const double xCont = CurX;
    piPowMinusQuarter();
    incx(0.2);
    {
        const auto num = [this] {
            ds(QStringLiteral("2"));
            it(QStringLiteral("s"));
            alphaPlainOnLine();
        };
        const auto den = [this] {
            ParOneAddSsq();
            B_alpha();
            ds(QStringLiteral("  +  "));
            ParOneSubSsq();
            ds(QStringLiteral("/("));
            B_alpha();
            ds(QStringLiteral(")"));
        };
        rootOver([&] { fraction(num, den); }, 0);
    }

    incy(2.2);
    CurX = xCont;
    ds(QStringLiteral("×"));
    incx(0.3);
    expOpen();
    alphaSqOver2();
    fraction(
        [this] {
            ds(QStringLiteral("["));
            OneAddSsq();
            ds(QStringLiteral(" + "));
            ParOneSubSsq();
            SqOf(QStringLiteral("B"));
            alphaOnLine();
            sp(QStringLiteral("2"));
            ds(QStringLiteral("]"));
            SqOf(QStringLiteral("x"));
            minus();
            ds(QStringLiteral("4"));
            it(QStringLiteral("sAx"));
            ds(QStringLiteral(" + "));
            ParOneAddSsq();
            SqOf(QStringLiteral("A"));
        },
        [this] {
            ParOneAddSsq();
            SqOf(QStringLiteral("B"));
            alphaOnLine();
            sp(QStringLiteral("2"));
            ds(QStringLiteral(" + 1"));
            minus();
            it(QStringLiteral("s"));
            sp(QStringLiteral("2"));
        });
    tallBracket(2);

    incy(2.2);
    CurX = xCont - g.TextWidth(QStringLiteral("=  "));
    ds(QStringLiteral("=  "));
    piPowMinusQuarter();
    incx(0.2);
    {
        const auto num = [this] { alphaPlainOnLine(); };
        const auto den = [this] { bt(); };
        rootOver([&] { fraction(num, den); }, 0);
    }
    incx(0.3);
    expOpen();
    alphaSqOver2();
    fraction(
        [this] {
            ds(QStringLiteral("["));
            cos_omega_t();
            incx(0.2);
            ds(QStringLiteral(" + "));
            it(QStringLiteral("i"));
            addx(2);
            ds(QStringLiteral("("));
            B_alpha();
            ds(QStringLiteral(")"));
            sp(QStringLiteral("2"));
            sin_omega_t();
            addx(2);
            ds(QStringLiteral("]"));
            SqOf(QStringLiteral("x"));
            minus();
            ds(QStringLiteral("2"));
            it(QStringLiteral("Ax"));
            ds(QStringLiteral(" + "));
            SqOf(QStringLiteral("A"));
            cos_omega_t();
        },
        [this] {
            ds(QStringLiteral("("));
            B_alpha();
            ds(QStringLiteral(")"));
            sp(QStringLiteral("2"));
            cos_omega_t();
            incx(0.2);
            ds(QStringLiteral(" + "));
            it(QStringLiteral("i"));
            incx(0.5);
            sin_omega_t();
        });
    incx(0.2); // the tall parenthesis stands off the t that ends the numerator
    tallBracket(2);

    // β(t)
    NewLine();
    NewLine();
    incx(6);
    ds(QStringLiteral("ただし，"));
    incx(1);
    bt();
    incx(1);
    ds(QStringLiteral("≡"));
    incx(1);
    B_alpha();
    incx(0.3);
    cos_omega_t();
    ds(QStringLiteral("  +  "));
    fraction([this] { it(QStringLiteral("i")); }, [this] { B_alpha(); });
    incx(0.2);
    sin_omega_t();
}

} // namespace oriel
