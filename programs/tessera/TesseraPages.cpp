// The three pages of tessera, written as cursor scripts on the engine:
//   page 0  the Schrödinger equation, time differencing and the Crank–Nicolson form;
//   page 1  one time step as an equation for gⁿ = fⁿ⁺¹ + fⁿ, space differencing;
//   page 2  the tridiagonal system and its modified Cholesky solution on a 4×4 example.

#include "TesseraDocument.h"

#include <algorithm>

namespace tessera {

namespace {
QString S(const char16_t* s) { return QString::fromUtf16(s); }

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
    dspBlue(S(u"(1) 概 要"));

    NewPara();
    ds(S(u"このページでは，時間 "));
    it(S(u"t"));
    ds(S(u" を含むシュレーディンガー方程式"));

    // [1]  i ∂f/∂t = H f(t),  H = −½ ∂²/∂x² + V(x)
    at(Indent2, 1.5);
    it(S(u"i"));
    incx(1);
    PartialFrac(S(u"f"), S(u"t"));
    incx(0.4); // the cursor stops at the end of ∂t, short of the bar's end
    ds(S(u"  =  "));
    it(S(u"H"));
    incx(0.8);
    FuncOf(S(u"f"), S(u"t"));
    ds(S(u" ,   "));
    it(S(u"H"));
    ds(S(u"  =  － "));
    half();
    incx(0.8);
    PartialFrac2(QString(), S(u"x")); // the operator ∂²/∂x², with no function under it
    ds(S(u"  +  "));
    it(S(u"V"));
    incx(0.4);
    // (x) with a pixel more before ")": the italic x leans into the parenthesis.
    ds(S(u"("));
    it(S(u"x"));
    addx(1);
    ds(S(u")"));
    TagCol = course::nint(55 * CharW);
    tag(S(u"[1]"));

    NewPara();
    ds(S(u"を数値計算によって直接解く方法を説明します。"));
    NewLine();
    ds(S(u"この方法は 1947 年に J. Crank と P. Nicolson が拡散方程式のために考案したものです。"));
    NewLine();
    ds(S(u"量子力学を知っている読者には，その安定性は，以下に示すようにシュレーディンガー方程式"));
    NewLine();
    ds(S(u"で考える方が理解しやすいでしょう。"));

    at(4 * CharW, 1.5);
    dspBlue(S(u"(2) 時間微分を差分により近似する."));

    NewPara();
    ds(S(u"時間 "));
    it(S(u"t"));
    ds(S(u" を "));
    it(S(u"t"));
    ds(S(u" = "));
    idx(S(u"t"), S(u"0"));
    ds(S(u" + "));
    it(S(u"n "));
    DeltaT(CurY);
    ds(S(u" のように等間隔 "));
    DeltaT(CurY);
    ds(S(u" で刻み，簡単のため"));
    NewLine();
    fn();
    ds(S(u" ≡"));
    incx(1);
    it(S(u"f"));
    incx(0.4);
    ds(S(u"("));
    it(S(u"n"));
    addx(4);
    DeltaT(CurY);
    incx(0.2);
    ds(S(u")"));
    ds(S(u" と書くと，最も粗い近似は次のようになります。"));

    // [2]  i (fⁿ⁺¹ − fⁿ)/Δt = H fⁿ  ⇒  fⁿ⁺¹ = (1 − iHΔt) fⁿ
    at(5 * CharW, 2);
    it(S(u"i"));
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
            dsp(pic(), CurX, CurY, S(u"－"));
            fn();
        });
        incy(0.6);
    }
    ds(S(u"  =  "));
    it(S(u"H"));
    incx(0.1);
    fn();
    incx(1);
    ds(S(u" ⇒　 "));
    fn1();
    ds(S(u" = "));
    ds(S(u" ( 1 － "));
    it(S(u"i"));
    addx(2);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u") "));
    fn();
    tag(S(u"[2]"));

    NewPara();
    ds(S(u"これは最も簡単な積分公式ですが，安定性に問題があります。"));
    NewLine();
    it(S(u"H"));
    ds(S(u" を "));
    fn();
    ds(S(u" に何度も作用させると，エネルギー固有値の大きい成分が増幅され誤差が増大します。"));
    NewLine();
    ds(S(u"この欠点を取り除くため，[2] 式を次のように改良します。"));

    // [3]  fⁿ⁺¹ = (1 + ½iHΔt)⁻¹ (1 − ½iHΔt) fⁿ
    at(10 * CharW, 1.3);
    fn1();
    ds(S(u" = "));
    ds(S(u" ( 1 + "));
    half();
    it(S(u" i"));
    addx(2);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u")"));
    sp(S(u"-1"));
    ds(S(u" ( 1 － "));
    half();
    it(S(u" i"));
    addx(2);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u") "));
    fn();
    tag(S(u"[3]"));

    at(LeftMargin, 1.3);
    ds(S(u"すると "));
    fn();
    ds(S(u" に作用する演算子の固有値の絶対値は常に 1 以下となり，安定性が保証されます。"));
    NewLine();
    ds(S(u"これをクランク・ニコルソン法と呼びます。言い換えれば，厳密な式"));

    // [4]  fⁿ⁺¹ = exp(−iHΔt) fⁿ
    at(10 * CharW, 1.2);
    fn1();
    ds(S(u" = "));
    Courier(S(u"exp"));
    incx(0.2);
    ds(S(u"("));
    minus();
    it(S(u"i"));
    addx(2);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u") "));
    fn();
    tag(S(u"[4]"));

    at(LeftMargin, 1.2);
    ds(S(u"を [3] 式のように近似したことになります。"));
    NewLine();
    ds(S(u"[3] 式と [4] 式を比べると，[3] 式の打ち切り誤差は "));
    DeltaTPar(CurY);
    sp(S(u"3"));
    ds(S(u" 程度であることがわかります。"));
}

void TesseraDocument::pic1() {
    course::Surface& g = pic();
    g.Cls();
    CurY = Printing ? CharH : 0;
    CurX = 5 * CharW;

    headingColor(true);
    ds(S(u"(3) "));
    fn();
    ds(S(u" から "));
    fn1();
    ds(S(u" を求める."));
    headingColor(false);

    NewPara();
    ds(S(u"時刻 "));
    it(S(u"t"));
    sf(S(u"n"));
    ds(S(u" における波動関数 "));
    fn();
    ds(S(u" から，"));
    it(S(u"n"));
    ds(S(u" を 1 だけ進めた "));
    fn1();
    ds(S(u" を求めるには，"));

    // [5]  (1 + ½iHΔt) fⁿ⁺¹ = (1 − ½iHΔt) fⁿ
    at(10 * CharW, 1.5);
    ds(S(u" ( 1 + "));
    half();
    it(S(u" i"));
    addx(3);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u") "));
    fn1();
    ds(S(u" = "));
    ds(S(u" ( 1 － "));
    half();
    it(S(u" i"));
    addx(3);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u") "));
    fn();
    tag(S(u"[5]"));

    NewPara();
    ds(S(u"を "));
    fn1();
    ds(S(u" について解かなければなりません。以下に示すように，これは連立１次方程式を"));
    NewLine();
    ds(S(u"解く問題に帰着します。"));
    NewLine();
    ds(S(u"連立１次方程式に進む前に，次のように定義して [5] 式を簡単にしておきます。"));

    // [6]  gⁿ = fⁿ⁺¹ + fⁿ
    at(10 * CharW, 1.2);
    gn();
    ds(S(u" = "));
    fn1();
    ds(S(u" + "));
    fn();
    tag(S(u"[6]"));

    at(LeftMargin, 1.2);
    ds(S(u"[6] 式を [5] 式に代入して "));
    fn1();
    ds(S(u" を消去すると，"));
    gn();
    ds(S(u" に対する方程式"));

    // [7]  (1 + ½iHΔt) gⁿ = 2fⁿ
    at(10 * CharW, 1.5);
    ds(S(u" ( 1 + "));
    half();
    addx(6);
    it(S(u"i"));
    addx(3);
    it(S(u"H "));
    DeltaT(CurY);
    incx(0.3);
    ds(S(u")"));
    addx(8);
    gn();
    ds(S(u"  =  "));
    ds(S(u"2"));
    addx(4);
    fn();
    tag(S(u"[7]"));

    at(LeftMargin, 1.2);
    ds(S(u"が得られます。"));

    at(Indent1, 1.5);
    dspBlue(S(u"(4) 空間微分を差分により近似する."));

    NewPara();
    ds(S(u"次に，"));
    it(S(u"x"));
    ds(S(u" 座標を間隔 "));
    DeltaX(CurY);
    ds(S(u"で"));
    incx(1);
    it(S(u"x"));
    ds(S(u" = "));
    idx(S(u"x"), S(u"0"));
    ds(S(u" + "));
    it(S(u"k"));
    incx(0.2);
    DeltaX(CurY);
    ds(S(u"のように分割し，これに対応して"));
    NewLine();
    ds(S(u"時刻"));
    incx(1);
    it(S(u"t"));
    ds(S(u" = "));
    idx(S(u"t"), S(u"0"));
    ds(S(u" + "));
    it(S(u"n"));
    incx(0.2);
    DeltaT(CurY);
    incx(1);
    ds(S(u"，位置"));
    incx(1);
    it(S(u"x"));
    ds(S(u" = "));
    idx(S(u"x"), S(u"0"));
    ds(S(u" + "));
    it(S(u"k"));
    incx(0.2);
    DeltaX(CurY);
    incx(1);
    ds(S(u"における波動関数 "));
    it(S(u"f"));
    incx(0.5);
    ds(S(u"("));
    it(S(u"x"));
    ds(S(u"，"));
    incx(-0.3);
    it(S(u"t"));
    incx(0.2);
    ds(S(u")"));
    ds(S(u" を "));
    fnk(S(u"k"));
    ds(S(u" と書きます。"));
    NewLine();
    ds(S(u"すると，運動エネルギーによる 2 階微分は"));

    // [８]  ∂²f/∂x² ⇒ (fⁿ_{k+1} − 2fⁿ_k + fⁿ_{k−1}) / (Δx)²
    at(10 * CharW, 1.8);
    PartialFrac2(S(u"f"), S(u"x"));
    dsp(g, CurX, CurY + 0.1 * CharH, S(u"   ⇒   "));
    // Bar of 18.3 characters with the denominator 6.5 characters in, and the numerator
    // 19 px up, so that the bar covers the numerator and passes under its subscripts.
    g.Line(CurX - 0.2 * CharW, CurY + 0.5 * CharH, CurX + 18.1 * CharW, CurY + 0.5 * CharH);
    {
        const double X0 = CurX;
        incx(6.5);
        DeltaXSq(CurY + 0.6 * CharH);
        tag(S(u"[８]"));
        CurX = X0 - 4;
        const double Y0 = CurY;
        CurY -= kNumeratorRise;
        fnk(S(u"k+1"));
        addx(5);
        minus();
        addx(4);
        ds(S(u"2"));
        fnk(S(u"k"));
        ds(S(u" + "));
        fnk(S(u"k-1"));
        CurY = Y0;
    }

    NewPara();
    NewLine();
    ds(S(u"と近似できます。この近似の打ち切り誤差は "));
    DeltaXSq(CurY);
    ds(S(u" に比例します。"));
    NewLine();
    ds(S(u"したがって [7] 式で，ハミルトニアン"));
    incx(0.8);
    it(S(u"H"));
    incx(0.8);
    ds(S(u"が"));
    addx(8);
    gnk(S(u"k"));
    incx(1);
    ds(S(u"に作用した結果は"));

    // [9]  H gⁿ_k = −½ (gⁿ_{k+1} − 2gⁿ_k + gⁿ_{k−1}) / (Δx)² + V_k gⁿ_k
    at(10 * CharW, 2);
    it(S(u"H"));
    incx(0.2);
    gnk(S(u"k"));
    ds(S(u"  = "));
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
        gnk(S(u"k+1"));
        addx(6);
        minus();
        addx(4);
        ds(S(u"2"));
        addx(2);
        gnk(S(u"k"));
        ds(S(u" +"));
        addx(4);
        gnk(S(u"k-1"));
        CurY = Y0;
    }
    incx(1.5);
    CurX = std::max(CurX, bar9End + 2); // the "+" keeps clear of the bar's end
    ds(S(u"+  "));
    it(S(u"V"));
    sf(S(u"k"));
    incx(0.2);
    gnk(S(u"k"));
    tag(S(u"[9]"));

    NewPara();
    ds(S(u"となります。"));
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
    dspBlue(S(u"(5) 連立１次方程式."));

    NewPara();
    ds(S(u"こうして，時間を 1 ステップ進める問題は，連立１次方程式 [7] を解く問題に帰着しました。"));
    NewLine();
    ds(S(u"これを整理すると，次のように書けます。"));

    // [10]  gⁿ_{k+1} + a_k gⁿ_k + gⁿ_{k−1} = bⁿ_k
    at(10 * CharW, 1.5);
    gnk(S(u"k+1"));
    incx(1);
    ds(S(u"+"));
    addx(6);
    idx(S(u"a"), S(u"k"));
    addx(6);
    gnk(S(u"k"));
    addx(8);
    ds(S(u"+"));
    addx(8);
    gnk(S(u"k-1"));
    ds(S(u" = "));
    idx(S(u"b"), S(u"k"));
    incx(-0.6);
    sup(g, CurX, CurY - 1, S(u"n"));
    tag(S(u"[10]"));

    // a_k = −2 − 2(Δx)² V_k + 4i (Δx)²/Δt
    at(10 * CharW, 1.5);
    ds(S(u"左辺の係数　"));
    idx(S(u"a"), S(u"k"));
    ds(S(u" ＝ "));
    minus();
    ds(S(u"2 － 2 "));
    DeltaXSq(CurY);
    incx(0.5);
    idx(S(u"V"), S(u"k"));
    ds(S(u" +"));
    addx(12);
    ds(S(u"4 "));
    it(S(u"i"));
    DxSqOverDt();

    // bⁿ_k = 8i (Δx)²/Δt fⁿ_k
    at(10 * CharW, 1.5);
    ds(S(u"右辺の定数　"));
    idx(S(u"b"), S(u"k"));
    incx(-0.6);
    sup(g, CurX, CurY - 2, S(u"n"));
    ds(S(u" ＝ 8 "));
    it(S(u"i"));
    DxSqOverDt();
    fnk(S(u"k"));

    NewPara();
    ds(S(u"　時刻"));
    incx(1);
    it(S(u"t"));
    sf(S(u"n"));
    ds(S(u" における波動関数 "));
    fn();
    ds(S(u" が与えられたら，連立１次方程式 [10] を解いて"));
    NewLine();
    gn();
    ds(S(u" を求め，さらに"));

    at(15 * CharW, 1);
    fn1();
    ds(S(u" ＝ "));
    gn();
    ds(S(u" － "));
    fn();

    at(LeftMargin, 1.2);
    ds(S(u"とすれば，1 ステップ後の波動関数 "));
    fn1();
    ds(S(u" が得られます。"));

    at(5 * CharW, 1.5);
    headingColor(true);
    ds(S(u"(6) 連立１次方程式を解く (改訂コレスキー法)."));
    headingColor(false);

    NewPara();
    ds(S(u"[10] 式の係数行列は対称なので，改訂コレスキー法で解くことができます。"));
    NewLine();
    ds(S(u"４×４"));
    incx(0.2);
    ds(S(u"行列の場合について，その方法を示します。"));

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
        ds(S(u"1"));
    };
    auto entry = [&](const QString& letter, int index) { idx(letter, TrimStr(index)); };

    // A: the tridiagonal matrix, a_r on the diagonal and 1 beside it.
    for (int r = 1; r <= 4; ++r) {
        for (int c = r - 1; c <= r + 1; ++c) {
            if (c == 0 || c == 5)
                continue;
            cell(r, c);
            if (c == r)
                entry(S(u"a"), r);
            else
                one();
        }
    }
    CurX = LeftMargin + 13 * CharW;
    CurY = Ybase + 2.5 * CharH;
    ds(S(u"＝"));
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
                entry(S(u"u"), c);
        }
    }
    MatBrackets(LeftMargin, Ybase);

    // D: the diagonal d_1 … d_4.
    LeftMargin = course::nint(LeftMargin + 12 * CharW);
    for (int r = 1; r <= 4; ++r) {
        cell(r, r);
        entry(S(u"d"), r);
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
                entry(S(u"u"), r);
        }
    }
    MatBrackets(LeftMargin, Ybase);

    NewPara();
    const double Ysave = CurY;
    CurX = 2 * CharW;
    ds(S(u" この両辺を比べることにより"));

    // An "=" after an indexed letter: the letter, its index, then " = ".
    auto eq = [&](const QString& letter, const QString& index) {
        idx(letter, index);
        ds(S(u" = "));
    };
    auto line = [&](int x) {
        CurX = x;
        incy(1);
    };

    // The factors: d₁ = a₁, u_k = 1/d_k, d_{k+1} = a_{k+1} − u_k, down to u₄ = 1/d₄, which
    // the back substitution uses.
    const int X1 = course::nint(2 * CharW);
    line(X1);
    eq(S(u"d"), S(u"1"));
    idx(S(u"a"), S(u"1"));
    ds(S(u" ， "));
    incx(3.9);
    idx(S(u"u"), S(u"1"));
    ds(S(u" = 1"));
    addx(2);
    ds(S(u"/"));
    idx(S(u"d"), S(u"1"));
    for (int k = 2; k <= 4; ++k) {
        line(X1);
        eq(S(u"d"), TrimStr(k));
        idx(S(u"a"), TrimStr(k));
        minus();
        idx(S(u"u"), TrimStr(k - 1));
        ds(S(u" ， "));
        idx(S(u"u"), TrimStr(k));
        ds(S(u" = 1"));
        addx(2);
        ds(S(u"/"));
        idx(S(u"d"), TrimStr(k));
    }

    // Forward substitution: x₁ = b₁, x_{k+1} = b_{k+1} − u_k x_k.
    CurY = Ysave;
    const int X2 = course::nint(27 * CharW);
    CurX = X2;
    ds(S(u"  順代入"));
    line(X2);
    eq(S(u"x"), S(u"1"));
    idx(S(u"b"), S(u"1"));
    for (int k = 2; k <= 4; ++k) {
        line(X2);
        eq(S(u"x"), TrimStr(k));
        idx(S(u"b"), TrimStr(k));
        minus();
        idx(S(u"u"), TrimStr(k - 1));
        incx(0.5);
        idx(S(u"x"), TrimStr(k - 1));
    }

    // Back substitution: g₄ = x₄/d₄ = u₄x₄, g_k = x_k/d_k − u_k g_{k+1} = u_k (x_k − g_{k+1}).
    CurY = Ysave;
    const int X3 = course::nint(45 * CharW);
    CurX = X3;
    ds(S(u"  逆代入"));
    for (int k = 4; k >= 1; --k) {
        const QString K = TrimStr(k);
        line(X3);
        eq(S(u"g"), K);
        idx(S(u"x"), K);
        incx(0.5);
        ds(S(u"/"));
        incx(0.5);
        if (k == 4) {
            eq(S(u"d"), K);
        } else {
            idx(S(u"d"), K);
            minus();
            idx(S(u"u"), K);
            incx(0.5);
            eq(S(u"g"), TrimStr(k + 1));
        }
        idx(S(u"u"), K);
        incx(0.5);
        if (k == 4) {
            idx(S(u"x"), K);
        } else {
            ds(S(u"("));
            idx(S(u"x"), K);
            minus();
            idx(S(u"g"), TrimStr(k + 1));
            ds(S(u")"));
        }
    }
}

} // namespace tessera
