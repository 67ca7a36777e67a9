// SPDX-License-Identifier: GPL-3.0-or-later
// The three pages of tessera, written as cursor scripts on the engine:
//   page 0  the Schrödinger equation, time differencing and the Crank–Nicolson form;
//   page 1  one time step as an equation for gⁿ = fⁿ⁺¹ + fⁿ, space differencing;
//   page 2  the tridiagonal system and its modified Cholesky solution on a 4×4 example.

#include "TesseraDocument.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tessera {

namespace {

// How far the long numerators of [８] and [9] are lifted above their line: enough for
// the subscripts of the italic letters to clear the bar at half a line.
constexpr double kNumeratorRise = 19;
} // namespace

void TesseraDocument::pic0() {
    course::Surface& g = pic();
    g.Cls();
    CurY = 0;
    if (Printing) {
        CurY = CharH;
        CurX = 16 * CharW;
        ds(title());
        incy(1.5);
    }
    CurX = Indent1;
    dspBlue(u"(1) 概 要"_s);

    NewPara();
    ds(u"このページでは，時間 "_s);
    it(u"t"_s);
    ds(u" を含むシュレーディンガー方程式"_s);

    // [1]  i ∂f/∂t = H f(t),  H = −½ ∂²/∂x² + V(x)
    at(Indent2, 1.5);
    it(u"i"_s);
    incx(1);
    PartialFrac(u"f"_s, u"t"_s);
    incx(0.4); // the cursor stops at the end of ∂t, short of the bar's end
    ds(u"  =  "_s);
    it(u"H"_s);
    incx(0.8);
    FuncOf(u"f"_s, u"t"_s);
    ds(u" ,   "_s);
    it(u"H"_s);
    ds(u"  =  － "_s);
    half();
    incx(0.8);
    PartialFrac2(QString(), u"x"_s); // the operator ∂²/∂x², with no function under it
    ds(u"  +  "_s);
    it(u"V"_s);
    incx(0.4);
    // (x) with a pixel more before ")": the italic x leans into the parenthesis.
    ds(u"("_s);
    it(u"x"_s);
    addx(1);
    ds(u")"_s);
    TagCol = course::nint(55 * CharW);
    tag(u"[1]"_s);

    NewPara();
    ds(u"を数値計算によって直接解く方法を説明します。"_s);
    NewLine();
    ds(u"この方法は 1947 年に J. Crank と P. Nicolson が拡散方程式のために考案したものです。"_s);
    NewLine();
    ds(u"量子力学を知っている読者には，その安定性は，以下に示すようにシュレーディンガー方程式"_s);
    NewLine();
    ds(u"で考える方が理解しやすいでしょう。"_s);

    at(4 * CharW, 1.5);
    dspBlue(u"(2) 時間微分を差分により近似する."_s);

    NewPara();
    ds(u"時間 "_s);
    it(u"t"_s);
    ds(u" を "_s);
    it(u"t"_s);
    ds(u" = "_s);
    idx(u"t"_s, u"0"_s);
    ds(u" + "_s);
    it(u"n "_s);
    DeltaT(CurY);
    ds(u" のように等間隔 "_s);
    DeltaT(CurY);
    ds(u" で刻み，簡単のため"_s);
    NewLine();
    fn();
    ds(u" ≡"_s);
    incx(1);
    it(u"f"_s);
    incx(0.4);
    ds(u"("_s);
    it(u"n"_s);
    addx(4);
    DeltaT(CurY);
    incx(0.2);
    ds(u")"_s);
    ds(u" と書くと，最も粗い近似は次のようになります。"_s);

    // [2]  i (fⁿ⁺¹ − fⁿ)/Δt = H fⁿ  ⇒  fⁿ⁺¹ = (1 − iHΔt) fⁿ
    at(5 * CharW, 2);
    it(u"i"_s);
    incx(1);
    // The bar reaches past the numerator and the denominator sits under its middle:
    // 8.8 characters and 3.3 (the character cell of the body font is narrower than
    // the italic letters of the numerator suppose).
    const double bar2 = CurY + 0.36 * CharH;
    g.Line(CurX + 0.2 * CharW, bar2, CurX + 9.0 * CharW, bar2);
    {
        const double X0 = CurX;
        incx(3.3);
        DeltaT(CurY + 0.4 * CharH);
        incy(-0.6);
        CurX = X0;
        // Raised as far as the descenders of the italic f need to clear the bar.
        clearOfBar(bar2, true, [&] {
            fn1();
            dsp(pic(), CurX, CurY, u"－"_s);
            fn();
        });
        incy(0.6);
    }
    ds(u"  =  "_s);
    it(u"H"_s);
    incx(0.1);
    fn();
    incx(1);
    ds(u" ⇒　 "_s);
    fn1();
    ds(u" = "_s);
    ds(u" ( 1 － "_s);
    it(u"i"_s);
    addx(2);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u") "_s);
    fn();
    tag(u"[2]"_s);

    NewPara();
    ds(u"これは最も簡単な積分公式ですが，安定性に問題があります。"_s);
    NewLine();
    it(u"H"_s);
    ds(u" を "_s);
    fn();
    ds(u" に何度も作用させると，エネルギー固有値の大きい成分が増幅され誤差が増大します。"_s);
    NewLine();
    ds(u"この欠点を取り除くため，[2] 式を次のように改良します。"_s);

    // [3]  fⁿ⁺¹ = (1 + ½iHΔt)⁻¹ (1 − ½iHΔt) fⁿ
    at(10 * CharW, 1.3);
    fn1();
    ds(u" = "_s);
    ds(u" ( 1 + "_s);
    half();
    it(u" i"_s);
    addx(2);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u")"_s);
    sp(u"-1"_s);
    ds(u" ( 1 － "_s);
    half();
    it(u" i"_s);
    addx(2);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u") "_s);
    fn();
    tag(u"[3]"_s);

    at(LeftMargin, 1.3);
    ds(u"すると "_s);
    fn();
    ds(u" に作用する演算子の固有値の絶対値は常に 1 以下となり，安定性が保証されます。"_s);
    NewLine();
    ds(u"これをクランク・ニコルソン法と呼びます。言い換えれば，厳密な式"_s);

    // [4]  fⁿ⁺¹ = exp(−iHΔt) fⁿ
    at(10 * CharW, 1.2);
    fn1();
    ds(u" = "_s);
    Courier(u"exp"_s);
    incx(0.2);
    ds(u"("_s);
    minus();
    it(u"i"_s);
    addx(2);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u") "_s);
    fn();
    tag(u"[4]"_s);

    at(LeftMargin, 1.2);
    ds(u"を [3] 式のように近似したことになります。"_s);
    NewLine();
    ds(u"[3] 式と [4] 式を比べると，[3] 式の打ち切り誤差は "_s);
    DeltaTPar(CurY);
    sp(u"3"_s);
    ds(u" 程度であることがわかります。"_s);
}

void TesseraDocument::pic1() {
    course::Surface& g = pic();
    g.Cls();
    CurY = Printing ? CharH : 0;
    CurX = 5 * CharW;

    headingColor(true);
    ds(u"(3) "_s);
    fn();
    ds(u" から "_s);
    fn1();
    ds(u" を求める."_s);
    headingColor(false);

    NewPara();
    ds(u"時刻 "_s);
    it(u"t"_s);
    sf(u"n"_s);
    ds(u" における波動関数 "_s);
    fn();
    ds(u" から，"_s);
    it(u"n"_s);
    ds(u" を 1 だけ進めた "_s);
    fn1();
    ds(u" を求めるには，"_s);

    // [5]  (1 + ½iHΔt) fⁿ⁺¹ = (1 − ½iHΔt) fⁿ
    at(10 * CharW, 1.5);
    ds(u" ( 1 + "_s);
    half();
    it(u" i"_s);
    addx(3);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u") "_s);
    fn1();
    ds(u" = "_s);
    ds(u" ( 1 － "_s);
    half();
    it(u" i"_s);
    addx(3);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u") "_s);
    fn();
    tag(u"[5]"_s);

    NewPara();
    ds(u"を "_s);
    fn1();
    ds(u" について解かなければなりません。以下に示すように，これは連立１次方程式を"_s);
    NewLine();
    ds(u"解く問題に帰着します。"_s);
    NewLine();
    ds(u"連立１次方程式に進む前に，次のように定義して [5] 式を簡単にしておきます。"_s);

    // [6]  gⁿ = fⁿ⁺¹ + fⁿ
    at(10 * CharW, 1.2);
    gn();
    ds(u" = "_s);
    fn1();
    ds(u" + "_s);
    fn();
    tag(u"[6]"_s);

    at(LeftMargin, 1.2);
    ds(u"[6] 式を [5] 式に代入して "_s);
    fn1();
    ds(u" を消去すると，"_s);
    gn();
    ds(u" に対する方程式"_s);

    // [7]  (1 + ½iHΔt) gⁿ = 2fⁿ
    at(10 * CharW, 1.5);
    ds(u" ( 1 + "_s);
    half();
    addx(6);
    it(u"i"_s);
    addx(3);
    it(u"H "_s);
    DeltaT(CurY);
    incx(0.3);
    ds(u")"_s);
    addx(8);
    gn();
    ds(u"  =  "_s);
    ds(u"2"_s);
    addx(4);
    fn();
    tag(u"[7]"_s);

    at(LeftMargin, 1.2);
    ds(u"が得られます。"_s);

    at(Indent1, 1.5);
    dspBlue(u"(4) 空間微分を差分により近似する."_s);

    NewPara();
    ds(u"次に，"_s);
    it(u"x"_s);
    ds(u" 座標を間隔 "_s);
    DeltaX(CurY);
    ds(u"で"_s);
    incx(1);
    it(u"x"_s);
    ds(u" = "_s);
    idx(u"x"_s, u"0"_s);
    ds(u" + "_s);
    it(u"k"_s);
    incx(0.2);
    DeltaX(CurY);
    ds(u"のように分割し，これに対応して"_s);
    NewLine();
    ds(u"時刻"_s);
    incx(1);
    it(u"t"_s);
    ds(u" = "_s);
    idx(u"t"_s, u"0"_s);
    ds(u" + "_s);
    it(u"n"_s);
    incx(0.2);
    DeltaT(CurY);
    incx(1);
    ds(u"，位置"_s);
    incx(1);
    it(u"x"_s);
    ds(u" = "_s);
    idx(u"x"_s, u"0"_s);
    ds(u" + "_s);
    it(u"k"_s);
    incx(0.2);
    DeltaX(CurY);
    incx(1);
    ds(u"における波動関数 "_s);
    it(u"f"_s);
    incx(0.5);
    ds(u"("_s);
    it(u"x"_s);
    ds(u"，"_s);
    incx(-0.3);
    it(u"t"_s);
    incx(0.2);
    ds(u")"_s);
    ds(u" を "_s);
    fnk(u"k"_s);
    ds(u" と書きます。"_s);
    NewLine();
    ds(u"すると，運動エネルギーによる 2 階微分は"_s);

    // [８]  ∂²f/∂x² ⇒ (fⁿ_{k+1} − 2fⁿ_k + fⁿ_{k−1}) / (Δx)²
    at(10 * CharW, 1.8);
    PartialFrac2(u"f"_s, u"x"_s);
    dsp(g, CurX, CurY + 0.1 * CharH, u"   ⇒   "_s);
    // Bar of 18.3 characters with the denominator 6.5 characters in, and the numerator
    // 19 px up, so that the bar covers the numerator and passes under its subscripts.
    g.Line(CurX - 0.2 * CharW, CurY + 0.5 * CharH, CurX + 18.1 * CharW, CurY + 0.5 * CharH);
    {
        const double X0 = CurX;
        incx(6.5);
        DeltaXSq(CurY + 0.6 * CharH);
        tag(u"[８]"_s);
        CurX = X0 - 4;
        const double Y0 = CurY;
        CurY -= kNumeratorRise;
        fnk(u"k+1"_s);
        addx(5);
        minus();
        addx(4);
        ds(u"2"_s);
        fnk(u"k"_s);
        ds(u" + "_s);
        fnk(u"k-1"_s);
        CurY = Y0;
    }

    NewPara();
    NewLine();
    ds(u"と近似できます。この近似の打ち切り誤差は "_s);
    DeltaXSq(CurY);
    ds(u" に比例します。"_s);
    NewLine();
    ds(u"したがって [7] 式で，ハミルトニアン"_s);
    incx(0.8);
    it(u"H"_s);
    incx(0.8);
    ds(u"が"_s);
    addx(8);
    gnk(u"k"_s);
    incx(1);
    ds(u"に作用した結果は"_s);

    // [9]  H gⁿ_k = −½ (gⁿ_{k+1} − 2gⁿ_k + gⁿ_{k−1}) / (Δx)² + V_k gⁿ_k
    at(10 * CharW, 2);
    it(u"H"_s);
    incx(0.2);
    gnk(u"k"_s);
    ds(u"  = "_s);
    minus();
    half();
    incx(1);
    // As in [８]: a bar of 19 characters, the denominator 7 in, the numerator 19 px up.
    g.Line(CurX, CurY + 0.5 * CharH, CurX + 19 * CharW, CurY + 0.5 * CharH);
    const double bar9End = CurX + 19 * CharW;
    {
        const double X0 = CurX;
        incx(7);
        DeltaXSq(CurY + 0.6 * CharH);
        CurX = X0 - 2;
        const double Y0 = CurY;
        CurY -= kNumeratorRise;
        gnk(u"k+1"_s);
        addx(6);
        minus();
        addx(4);
        ds(u"2"_s);
        addx(2);
        gnk(u"k"_s);
        ds(u" +"_s);
        addx(4);
        gnk(u"k-1"_s);
        CurY = Y0;
    }
    incx(1.5);
    CurX = std::max(CurX, bar9End + 2); // the "+" keeps clear of the bar's end
    ds(u"+  "_s);
    it(u"V"_s);
    sf(u"k"_s);
    incx(0.2);
    gnk(u"k"_s);
    tag(u"[9]"_s);

    NewPara();
    ds(u"となります。"_s);
}

namespace {
// Puts back what the matrix block of page 2 changes (the 11-point font, its character
// cell and the column it uses as the left margin), however the page ends.
struct MetricsKeep {
    course::Surface& g;
    double& charW;
    double& charH;
    int& leftMargin;
    double size = g.FontSize, w = charW, h = charH;
    int margin = leftMargin;
    ~MetricsKeep() {
        g.FontSize = size;
        charW = w;
        charH = h;
        leftMargin = margin;
    }
};
} // namespace

void TesseraDocument::pic2() {
    course::Surface& g = pic();
    g.Cls();
    CurX = Indent1;
    CurY = Printing ? CharH : 0;
    dspBlue(u"(5) 連立１次方程式."_s);

    NewPara();
    ds(u"こうして，時間を 1 ステップ進める問題は，連立１次方程式 [7] を解く問題に帰着しました。"_s);
    NewLine();
    ds(u"これを整理すると，次のように書けます。"_s);

    // [10]  gⁿ_{k+1} + a_k gⁿ_k + gⁿ_{k−1} = bⁿ_k
    at(10 * CharW, 1.5);
    gnk(u"k+1"_s);
    incx(1);
    ds(u"+"_s);
    addx(6);
    idx(u"a"_s, u"k"_s);
    addx(6);
    gnk(u"k"_s);
    addx(8);
    ds(u"+"_s);
    addx(8);
    gnk(u"k-1"_s);
    ds(u" = "_s);
    idx(u"b"_s, u"k"_s);
    incx(-0.6);
    sup(g, CurX, CurY - 1, u"n"_s);
    tag(u"[10]"_s);

    // a_k = −2 − 2(Δx)² V_k + 4i (Δx)²/Δt
    at(10 * CharW, 1.5);
    ds(u"左辺の係数　"_s);
    idx(u"a"_s, u"k"_s);
    ds(u" ＝ "_s);
    minus();
    ds(u"2 － 2 "_s);
    DeltaXSq(CurY);
    incx(0.5);
    idx(u"V"_s, u"k"_s);
    ds(u" +"_s);
    addx(12);
    ds(u"4 "_s);
    it(u"i"_s);
    DxSqOverDt();

    // bⁿ_k = 8i (Δx)²/Δt fⁿ_k
    at(10 * CharW, 1.5);
    ds(u"右辺の定数　"_s);
    idx(u"b"_s, u"k"_s);
    incx(-0.6);
    sup(g, CurX, CurY - 2, u"n"_s);
    ds(u" ＝ 8 "_s);
    it(u"i"_s);
    DxSqOverDt();
    fnk(u"k"_s);

    NewPara();
    ds(u"　時刻"_s);
    incx(1);
    it(u"t"_s);
    sf(u"n"_s);
    ds(u" における波動関数 "_s);
    fn();
    ds(u" が与えられたら，連立１次方程式 [10] を解いて"_s);
    NewLine();
    gn();
    ds(u" を求め，さらに"_s);

    at(15 * CharW, 1);
    fn1();
    ds(u" ＝ "_s);
    gn();
    ds(u" － "_s);
    fn();

    at(LeftMargin, 1.2);
    ds(u"とすれば，1 ステップ後の波動関数 "_s);
    fn1();
    ds(u" が得られます。"_s);

    at(5 * CharW, 1.5);
    headingColor(true);
    ds(u"(6) 連立１次方程式を解く (改訂コレスキー法)."_s);
    headingColor(false);

    NewPara();
    ds(u"[10] 式の係数行列は対称なので，改訂コレスキー法で解くことができます。"_s);
    NewLine();
    ds(u"４×４"_s);
    incx(0.2);
    ds(u"行列の場合について，その方法を示します。"_s);

    // The matrix block is set in 11 points, with the character cell measured anew.
    MetricsKeep keep{g, CharW, CharH, LeftMargin};
    const double Ybase = CurY + 0.5 * CharH;
    g.FontSize = 11;
    CharW = g.TextWidth(QStringLiteral("A"));
    CharH = g.TextHeight(QStringLiteral("A"));
    LeftMargin = course::nint(10 * CharW);
    auto cell = [&](int r, int c) {
        CurY = Ybase + r * CharH;
        CurX = LeftMargin + 2 * CharW * c;
    };
    // A "1" stands half a character into its column, midway between its neighbours:
    // 0.2 of a character brought it so close to an indexed entry on its left that
    // "a₂ 1" read as a₂₁.
    auto one = [&] {
        incx(0.5);
        ds(u"1"_s);
    };
    auto entry = [&](const QString& letter, int index) { idx(letter, TrimStr(index)); };

    // A: the tridiagonal matrix, a_r on the diagonal and 1 beside it.
    for (int r = 1; r <= 4; ++r) {
        for (int c = r - 1; c <= r + 1; ++c) {
            if (c == 0 || c == 5)
                continue;
            cell(r, c);
            if (c == r)
                entry(u"a"_s, r);
            else
                one();
        }
    }
    CurX = LeftMargin + 13 * CharW;
    CurY = Ybase + 2.5 * CharH;
    ds(u"＝"_s);
    MatBrackets(LeftMargin, Ybase);

    // L: unit lower bidiagonal with u_1 … u_3 below the diagonal.
    LeftMargin = course::nint(LeftMargin + 16 * CharW);
    for (int r = 1; r <= 4; ++r) {
        for (int c = r - 1; c <= r; ++c) {
            if (c == 0)
                continue;
            cell(r, c);
            if (c == r)
                one();
            else
                entry(u"u"_s, c);
        }
    }
    MatBrackets(LeftMargin, Ybase);

    // D: the diagonal d_1 … d_4.
    LeftMargin = course::nint(LeftMargin + 12 * CharW);
    for (int r = 1; r <= 4; ++r) {
        cell(r, r);
        entry(u"d"_s, r);
    }
    MatBrackets(LeftMargin, Ybase);

    // U: the transpose of L.
    LeftMargin = course::nint(LeftMargin + 12 * CharW);
    for (int r = 1; r <= 4; ++r) {
        for (int c = r; c <= r + 1; ++c) {
            if (c == 5)
                continue;
            cell(r, c);
            if (c == r)
                one();
            else
                entry(u"u"_s, r);
        }
    }
    MatBrackets(LeftMargin, Ybase);

    NewPara();
    const double Ysave = CurY;
    CurX = 2 * CharW;
    ds(u" この両辺を比べることにより"_s);

    // An "=" after an indexed letter: the letter, its index, then " = ".
    auto eq = [&](const QString& letter, const QString& index) {
        idx(letter, index);
        ds(u" = "_s);
    };
    auto line = [&](int x) {
        CurX = x;
        incy(1);
    };

    // The factors: d₁ = a₁, u_k = 1/d_k, d_{k+1} = a_{k+1} − u_k, down to u₄ = 1/d₄, which
    // the back substitution uses.
    const int X1 = course::nint(2 * CharW);
    line(X1);
    eq(u"d"_s, u"1"_s);
    idx(u"a"_s, u"1"_s);
    ds(u" ， "_s);
    incx(3.9);
    idx(u"u"_s, u"1"_s);
    ds(u" = 1"_s);
    addx(2);
    ds(u"/"_s);
    idx(u"d"_s, u"1"_s);
    for (int k = 2; k <= 4; ++k) {
        line(X1);
        eq(u"d"_s, TrimStr(k));
        idx(u"a"_s, TrimStr(k));
        minus();
        idx(u"u"_s, TrimStr(k - 1));
        ds(u" ， "_s);
        idx(u"u"_s, TrimStr(k));
        ds(u" = 1"_s);
        addx(2);
        ds(u"/"_s);
        idx(u"d"_s, TrimStr(k));
    }

    // Forward substitution: x₁ = b₁, x_{k+1} = b_{k+1} − u_k x_k.
    CurY = Ysave;
    const int X2 = course::nint(27 * CharW);
    CurX = X2;
    ds(u"  順代入"_s);
    line(X2);
    eq(u"x"_s, u"1"_s);
    idx(u"b"_s, u"1"_s);
    for (int k = 2; k <= 4; ++k) {
        line(X2);
        eq(u"x"_s, TrimStr(k));
        idx(u"b"_s, TrimStr(k));
        minus();
        idx(u"u"_s, TrimStr(k - 1));
        incx(0.5);
        idx(u"x"_s, TrimStr(k - 1));
    }

    // Back substitution: g₄ = x₄/d₄ = u₄x₄, g_k = x_k/d_k − u_k g_{k+1} = u_k (x_k − g_{k+1}).
    CurY = Ysave;
    const int X3 = course::nint(45 * CharW);
    CurX = X3;
    ds(u"  逆代入"_s);
    for (int k = 4; k >= 1; --k) {
        const QString K = TrimStr(k);
        line(X3);
        eq(u"g"_s, K);
        idx(u"x"_s, K);
        incx(0.5);
        ds(u"/"_s);
        incx(0.5);
        if (k == 4) {
            eq(u"d"_s, K);
        } else {
            idx(u"d"_s, K);
            minus();
            idx(u"u"_s, K);
            incx(0.5);
            eq(u"g"_s, TrimStr(k + 1));
        }
        idx(u"u"_s, K);
        incx(0.5);
        if (k == 4) {
            idx(u"x"_s, K);
        } else {
            ds(u"("_s);
            idx(u"x"_s, K);
            minus();
            idx(u"g"_s, TrimStr(k + 1));
            ds(u")"_s);
        }
    }
}

} // namespace tessera
