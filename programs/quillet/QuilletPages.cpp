// SPDX-License-Identifier: GPL-3.0-or-later
// The four pages of quillet, written as cursor scripts: a heading, the prose line by
// line, and the displayed formulas built piece by piece.

#include "QuilletDocument.h"

#include <cmath>

namespace quillet {

namespace {
QString q(const char16_t* s) { return QString::fromUtf16(s); }
} // namespace

// (1) overview, (2) derivation of the recurrence from Taylor series.
void QuilletDocument::pic0() {
    // Superscripts a little larger than the engine's default, for every page.
    SupScale = 0.85;
    SupRaise = 0.2;
    startPage(true);
    if (Printing) {
        CurX = 15 * CharW;
        Pic->FontSize = 16;
        ds(kTitle);
        Pic->FontSize = PageFontSize;
        incy(1.5);
    }
    CurX = Indent0;
    dspBlue(q(u"(1)  概 要"));

    at(LeftMargin, 1.5);
    ds(q(u"　常微分方程式の数値解法では，４次の"));
    RungeKutta(q(u"クッタ公式が最もよく知られている。"));
    NewLine();
    ds(q(u"一方ヌメロフ法は，シュレーディンガー方程式から導かれる次の型の方程式"));

    at(Indent1, 1.5);
    FracD2Fit(QStringLiteral("y"), QStringLiteral("x"));
    incx(1);
    ds(QStringLiteral(" =  "));
    FuncOf(QStringLiteral("v"), QStringLiteral("x"));
    addx(8);
    it(QStringLiteral("y"));

    at(LeftMargin, 1.5);
    ds(q(u"を効率よく解く方法である。"));
    NewLine();
    ds(q(u"その精度は，以下に示すように４次の"));
    RungeKutta(q(u"クッタ公式と同等である。"));

    at(Indent0, 1.5);
    dspBlue(q(u"(2)  ") + kMethodName + q(u"の公式を導出する."));

    at(LeftMargin, 1.5);
    ds(q(u"　座標を "));
    itClear(QStringLiteral("x"));
    sf(QStringLiteral("n"));
    addx(4);
    ds(QStringLiteral("= "));
    itClear(QStringLiteral("x"));
    sf(QStringLiteral("0"));
    addx(4);
    ds(QStringLiteral("+"));
    addx(4);
    it(QStringLiteral("n"));
    addx(2);
    it(QStringLiteral("h"));
    addx(10);
    ds(q(u"のように等間隔"));
    addx(8);
    it(QStringLiteral("h"));
    addx(8);
    ds(q(u"で分割すると，テイラー展開"));

    // y_{n+1} = y_n + h y_n′ + h²/2 y_n″ + h³/6 y_n‴ + h⁴/24 y_n⁗ + …
    at(Indent1, 1.4);
    SubOf(QStringLiteral("y"), QStringLiteral("n+1"));
    addx(8);
    ds(QStringLiteral("="));
    addx(8);
    SubOf(QStringLiteral("y"), QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    it(QStringLiteral("h"));
    addx(4);
    SubPrimed(QStringLiteral("y"), QStringLiteral("n"), 1);
    const QString terms[3][2] = {{QStringLiteral("h^2"), QStringLiteral("2")},
                                 {QStringLiteral("h^3"), QStringLiteral("6")},
                                 {QStringLiteral("h^4"), QStringLiteral("24")}};
    for (int i = 0; i < 3; ++i) {
        addx(8);
        ds(QStringLiteral("+"));
        addx(8);
        frac(terms[i][0], terms[i][1]);
        addx(4);
        SubPrimed(QStringLiteral("y"), QStringLiteral("n"), i + 2);
    }
    addx(8);
    ds(q(u"+ ･･･"));

    at(LeftMargin, 1.4);
    ds(q(u"により"));

    // y_{n+1} − 2y_n + y_{n−1} = h² y_n″ + h⁴/12 y_n⁗ + O(h⁶)
    at(Indent1, 1.4);
    secondDifference(4);
    incx(1);
    ds(QStringLiteral("="));
    incx(1);
    h2();
    addx(4);
    SubPrimed(QStringLiteral("y"), QStringLiteral("n"), 2);
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^4"), QStringLiteral("12"));
    addx(4);
    SubPrimed(QStringLiteral("y"), QStringLiteral("n"), 4);
    addx(8);
    ds(QStringLiteral("+ "));
    Order(6);

    at(LeftMargin, 1.4);
    ds(q(u"が成り立つ。微分方程式の右辺を代入すると"));

    // … = h²(vy)_n + h⁴/12 (vy)_n″ + O(h⁶)
    at(Indent1, 1.4);
    secondDifference(4);
    incx(1);
    ds(QStringLiteral("="));
    incx(1);
    h2();
    addx(4);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^4"), QStringLiteral("12"));
    addx(4);
    SubPrimed(QStringLiteral("(vy)"), QStringLiteral("n"), 2);
    addx(8);
    ds(QStringLiteral("+ "));
    Order(6);

    at(LeftMargin, 1.4);
    ds(q(u"ところが右辺の２階微分 "));
    SubPrimed(QStringLiteral("(vy)"), QStringLiteral("n"), 2);
    addx(4);
    ds(q(u" も差分で近似できて"));

    // h²(vy)_n″ = (vy)_{n+1} − 2(vy)_n + (vy)_{n−1} + O(h⁴)
    at(Indent1, 1.4);
    h2();
    addx(6);
    SubPrimed(QStringLiteral("(vy)"), QStringLiteral("n"), 2);
    addx(8);
    ds(QStringLiteral(" =  "));
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n+1"));
    addx(2);
    minus();
    addx(2);
    ds(QStringLiteral("2"));
    addx(4);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n-1"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    Order(4);

    at(LeftMargin, 1.4);
    ds(q(u"となるので，最終的に微分を含まない漸化式"));

    // y_{n+1} − 2y_n + y_{n−1} ＝ h²(vy)_n + h²/12 [(vy)_{n+1} − 2(vy)_n + (vy)_{n−1}] + O(h⁶)
    at(Indent0, 1.4);
    secondDifference(2);
    incx(0.7);
    ds(q(u"＝"));
    incx(0.7);
    h2();
    addx(4);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^2"), QStringLiteral("12"));
    addx(4);
    BracketGap = 4;
    BigBracket(CurX, CurY + symbolDrop(Pic->FontSize), 3);
    // The bracket's serifs reach 6.5 px to the right: 4 px more keep "(" clear of them.
    addx(8);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n+1"));
    addx(2);
    minus();
    addx(2);
    ds(QStringLiteral("2"));
    addx(4);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    SubOf(QStringLiteral("(vy)"), QStringLiteral("n-1"));
    addx(4);
    BigBracket(CurX, CurY + symbolDrop(Pic->FontSize), 4);
    incx(1);
    ds(QStringLiteral("+ "));
    Order(6);
    Pic->FontSize = PageFontSize;

    at(LeftMargin, 1.4);
    ds(q(u"が得られる。"));
}

// (3) the recurrence, (4) its accuracy: the constant-v difference equation and its
// characteristic equation.
void QuilletDocument::pic1() {
    startPage(false);
    CurX = Indent0;
    dspBlue(q(u"(3)  ") + kMethodName + q(u"の公式"));

    at(LeftMargin, 1.5);
    ds(q(u"　これを整理した結果"));

    // (1 − h²/12 v_{n+1}) y_{n+1} − 2(1 + 5/12 h² v_n) y_n + (1 − h²/12 v_{n−1}) y_{n−1} = O(h⁶)
    at(Indent0, 1.4);
    factorMinus(QStringLiteral("n+1"));
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n+1"));
    addx(2);
    minus();
    addx(2);
    ds(QStringLiteral("2"));
    addx(8);
    factorPlus(QStringLiteral("n"));
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n"));
    addx(4);
    ds(QStringLiteral("+"));
    addx(4);
    factorMinus(QStringLiteral("n-1"), true);
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n-1"));
    addx(4);
    ds(QStringLiteral(" =  "));
    Order(6);
    Pic->FontSize = PageFontSize;

    at(LeftMargin, 1.4);
    ds(q(u"が得られる。これが") + kMethodName + q(u"の公式である。"));
    NewLine();
    ds(q(u"初期値 "));
    it(QStringLiteral("y"));
    sf(QStringLiteral("0"));
    addx(2);
    it(QStringLiteral(", y"));
    sf(QStringLiteral("1"));
    ds(q(u" を与えれば，この公式から "));
    SubOf(QStringLiteral("y"), QStringLiteral("2"));
    addx(2);
    ds(q(u"，"));
    SubOf(QStringLiteral("y"), QStringLiteral("3"));
    addx(4);
    ds(q(u"･･･ を次々に求めることが"));
    NewLine();
    ds(q(u"できる。"));

    at(Indent0, 1.5);
    dspBlue(q(u"(4)  ") + kMethodName + q(u"の公式の精度"));
    NewLine();
    ds(q(u"　公式の右辺が "));
    Order(6);
    ds(q(u" であることから，１ステップあたりの誤差は"));
    NewLine();
    it(QStringLiteral("h"));
    sp(QStringLiteral("6"));
    ds(q(u" の程度と思われ，４次の"));
    RungeKutta(q(u"クッタ公式より精度が高いと書かれることもある。"));
    NewLine();
    ds(q(u"しかし，以下に述べるように，それは誤りである。"));

    at(LeftMargin, 1.5);
    ds(q(u"　刻み幅"));
    addx(8);
    it(QStringLiteral("h"));
    addx(8);
    ds(q(u"が十分小さければ，短い区間では "));
    FuncOf(QStringLiteral("v"), QStringLiteral("x"));
    ds(q(u" はほぼ一定とみなせる。"));
    NewLine();
    ds(q(u"そこで "));
    SubOf(QStringLiteral("v"), QStringLiteral("n"));
    addx(4);
    ds(QStringLiteral("="));
    addx(4);
    it(QStringLiteral("v"));
    addx(4);
    ds(q(u"(＝"));
    addx(1);
    ichi();
    ds(q(u"定値) とし，"));
    it(QStringLiteral("x"));
    prime();
    addx(4);
    ds(QStringLiteral("="));
    addx(4);
    rootOf([this] { it(QStringLiteral("v")); });
    addx(4);
    it(QStringLiteral("x"));
    addx(8);
    ds(q(u"を改めて"));
    addx(8);
    it(QStringLiteral("x"));
    addx(8);
    ds(q(u"と書くと，"));
    NewLine();
    FuncOf(QStringLiteral("y"), QStringLiteral("x"));
    ds(q(u" に対する微分方程式の"));
    addx(2);
    ichi();
    ds(q(u"般解は"));

    // y = c₁eˣ + c₂e⁻ˣ
    at(Indent1, 1.2);
    it(QStringLiteral("y"));
    addx(8);
    ds(QStringLiteral("="));
    addx(8);
    it(QStringLiteral("c"));
    addx(2);
    sf(QStringLiteral("1"));
    addx(4);
    Courier(QStringLiteral("e"));
    sp(QStringLiteral("x"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    it(QStringLiteral("c"));
    addx(2);
    sf(QStringLiteral("2"));
    addx(4);
    Courier(QStringLiteral("e"));
    sp(QStringLiteral("-x"));

    at(LeftMargin, 1.2);
    ds(q(u"となる。これに対応する "));
    SubOf(QStringLiteral("y"), QStringLiteral("n"));
    ds(q(u" の差分方程式"));

    // (1 − h²/12) y_{n+1} − 2(1 + 5/12 h²) y_n + (1 − h²/12) y_{n−1} = 0
    at(Indent1, 1.5);
    factorMinus({});
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n+1"));
    addx(2);
    minus();
    addx(2);
    ds(QStringLiteral("2"));
    addx(8);
    factorPlus({});
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n"));
    addx(4);
    ds(QStringLiteral("+"));
    addx(4);
    factorMinus({}, true);
    addx(4);
    SubOf(QStringLiteral("y"), QStringLiteral("n-1"));
    addx(4);
    ds(QStringLiteral(" =  0"));

    at(LeftMargin, 1.5);
    ds(q(u"の"));
    addx(2);
    ichi();
    ds(q(u"般解は，特性方程式"));

    // (1 − h²/12) λ² − 2(1 + 5/12 h²) λ + (1 − h²/12) = 0
    at(Indent1, 1.5);
    factorMinus({});
    addx(4);
    lambda();
    sp(QStringLiteral("2"));
    addx(2);
    minus();
    addx(2);
    ds(QStringLiteral("2"));
    addx(8);
    factorPlus({});
    addx(4);
    lambda();
    addx(4);
    ds(QStringLiteral("+"));
    addx(4);
    factorMinus({}, true);
    addx(4);
    ds(QStringLiteral(" =  0"));

    at(LeftMargin, 1.5);
    ds(q(u"の根 "));
    lambda();
    sf(QStringLiteral("1"));
    addx(2);
    it(QStringLiteral(", "));
    lambda();
    sf(QStringLiteral("2"));
    addx(8);
    ds(q(u"により"));

    // y_n = c₁λ₁ⁿ + c₂λ₂ⁿ
    at(Indent1, 1.2);
    SubOf(QStringLiteral("y"), QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("="));
    addx(8);
    it(QStringLiteral("c"));
    addx(2);
    sf(QStringLiteral("1"));
    addx(4);
    lambda();
    sf(QStringLiteral("1"));
    sp(QStringLiteral("n"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    it(QStringLiteral("c"));
    addx(2);
    sf(QStringLiteral("2"));
    addx(4);
    lambda();
    sf(QStringLiteral("2"));
    sp(QStringLiteral("n"));

    at(LeftMargin, 1.2);
    ds(q(u"と表される。"));
}

// (5) the roots of the characteristic equation, (6) the spherically symmetric case.
void QuilletDocument::pic2() {
    startPage(false);
    CurX = Indent0;
    dspBlue(q(u"(5) 特性方程式の解."));

    at(LeftMargin, 1.5);
    ds(q(u"　"));
    lambda();
    addx(8);
    ds(q(u"に対する２次方程式の解は"));

    // Row A: λ = [1 + 5/12 h² ± h√(1 + h²/6)] / (1 − h²/12)
    at(Indent1, 2.5);
    double Y0 = CurY;
    lambda();
    addx(8);
    const double Xeq = CurX;
    ds(q(u"＝  "));
    double Xbar = rootBar(14);
    rootDenominator(Y0, Xbar);
    CurX = Xbar + kRootNumeratorDx;
    CurY = Y0 + kRootNumeratorDy;
    ds(QStringLiteral("1"));
    addx(4);
    ds(QStringLiteral("+"));
    addx(4);
    frac(QStringLiteral("5"), QStringLiteral("12"));
    addx(4);
    h2();
    addx(4);
    ds(q(u"±"));
    addx(6);
    it(QStringLiteral("h"));
    addx(6);
    // √(1 + h²/6), the sign sized to the fraction under it.
    rootOf([this] {
        ds(QStringLiteral("1"));
        addx(4);
        ds(QStringLiteral("+"));
        addx(4);
        frac(QStringLiteral("1"), QStringLiteral("6"));
        addx(4);
        h2();
    });

    // Row B: = 1 + h²/2 + h⁴/24 + [h⁶/288 ± h(1 + h²/12 − h⁴/288 + O(h⁶))] / (1 − h²/12)
    CurY = Y0;
    CurX = Xeq;
    incy(3);
    Y0 = CurY;
    ds(q(u"＝  "));
    ds(QStringLiteral("1"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^2"), QStringLiteral("2"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^4"), QStringLiteral("24"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    Xbar = rootBar(20);
    rootDenominator(Y0, Xbar);
    CurX = Xbar + kRootNumeratorDx;
    CurY = Y0 + kRootNumeratorDy;
    frac(QStringLiteral("h^6"), QStringLiteral("288"));
    addx(8);
    ds(q(u"±"));
    addx(4);
    it(QStringLiteral("h"));
    addx(6);
    ds(q(u"（ 1 + "));
    frac(QStringLiteral("h^2"), QStringLiteral("12"));
    Courier(QStringLiteral(" - "));
    frac(QStringLiteral("h^4"), QStringLiteral("288"));
    ds(QStringLiteral(" + "));
    Order(6);
    ds(q(u" ）"));

    // Row C: = 1 + h²/2 + h⁴/24 ± h(1 + h²/6 + h⁴/96) + O(h⁶)
    CurY = Y0;
    CurX = Xeq;
    incy(2.4);
    ds(q(u"＝  "));
    ds(QStringLiteral("1"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^2"), QStringLiteral("2"));
    addx(8);
    ds(QStringLiteral("+"));
    addx(8);
    frac(QStringLiteral("h^4"), QStringLiteral("24"));
    addx(12);
    ds(q(u"±"));
    addx(4);
    it(QStringLiteral("h"));
    addx(8);
    ds(QStringLiteral("("));
    addx(4);
    ds(QStringLiteral("1"));
    addx(6);
    ds(QStringLiteral("+"));
    addx(6);
    frac(QStringLiteral("h^2"), QStringLiteral("6"));
    addx(6);
    ds(QStringLiteral("+"));
    addx(6);
    frac(QStringLiteral("h^4"), QStringLiteral("96"));
    addx(6);
    ds(QStringLiteral(")  +"));
    addx(6);
    Order(6);

    at(LeftMargin, 1.5);
    ds(q(u"　この "));
    lambda();
    ds(q(u" は，微分方程式の解"));
    addx(8);
    Courier(QStringLiteral("exp"));
    addx(2);
    ds(q(u"(±"));
    itClear(QStringLiteral("x"));
    ds(QStringLiteral(")"));
    addx(8);
    ds(q(u"のテイラー展開とほぼ一致するが，"));
    NewLine();
    it(QStringLiteral("h"));
    sp(QStringLiteral("5"));
    ds(q(u" の項から食い違う。したがって公式の１ステップあたりの誤差は"));
    NewLine();
    Order(5);
    ds(q(u" であり，その精度は４次の"));
    RungeKutta(q(u"クッタ公式と同じである。"));

    at(Indent0, 1.5);
    dspBlue(q(u"(6) ３次元球対称の問題."));

    at(LeftMargin, 1.5);
    ds(q(u"　３次元で球対称の場合には，"));

    // d²u/dr² + (2/r) du/dr = v(r) u(r)
    at(Indent1, 1.5);
    FracD2Fit(QStringLiteral("u"), QStringLiteral("r"));
    ds(QStringLiteral("  +  "));
    frac1(QStringLiteral("2"), QStringLiteral("r"));
    addx(10);
    FracDFit(QStringLiteral("u"), QStringLiteral("r"));
    ds(QStringLiteral("  =  "));
    FuncOf(QStringLiteral("v"), QStringLiteral("r"));
    addx(8);
    FuncOf(QStringLiteral("u"), QStringLiteral("r"));

    at(LeftMargin, 1.5);
    ds(q(u"となる。この方程式は，変数変換 "));
    FuncOf(QStringLiteral("y"), QStringLiteral("r"));
    ds(QStringLiteral(" = "));
    it(QStringLiteral("r"));
    addx(8);
    FuncOf(QStringLiteral("u"), QStringLiteral("r"));
    ds(q(u" により標準形"));

    // d²y/dr² = v(r) y(r)
    at(Indent1, 1.5);
    FracD2Fit(QStringLiteral("y"), QStringLiteral("r"));
    ds(QStringLiteral("  =  "));
    FuncOf(QStringLiteral("v"), QStringLiteral("r"));
    addx(8);
    FuncOf(QStringLiteral("y"), QStringLiteral("r"));

    at(LeftMargin, 1.5);
    ds(q(u"に帰着し，") + kMethodName + q(u"法を適用することができる。"));
}

// (7) the cylindrically and circularly symmetric case, and why the method is not safe
// near the origin there.
void QuilletDocument::pic3() {
    startPage(false);
    CurX = Indent0;
    dspBlue(q(u"(7) ３次元円筒対称，２次元円対称の問題."));

    at(LeftMargin, 1.5);
    ds(q(u"　この場合には，"));

    // d²u/dr² + (1/r) du/dr = v(r) u(r)
    at(Indent1, 1.5);
    FracD2Fit(QStringLiteral("u"), QStringLiteral("r"));
    ds(QStringLiteral("  +  "));
    frac1(QStringLiteral("1"), QStringLiteral("r"));
    addx(10);
    FracDFit(QStringLiteral("u"), QStringLiteral("r"));
    ds(QStringLiteral("  =  "));
    FuncOf(QStringLiteral("v"), QStringLiteral("r"));
    addx(8);
    FuncOf(QStringLiteral("u"), QStringLiteral("r"));

    at(LeftMargin, 1.5);
    ds(q(u"となる。この方程式は，変数変換 "));
    FuncOf(QStringLiteral("y"), QStringLiteral("r"));
    ds(QStringLiteral(" = "));
    it(QStringLiteral("r"));
    addx(2);
    sp(QStringLiteral("1/2"));
    addx(8);
    FuncOf(QStringLiteral("u"), QStringLiteral("r"));
    ds(q(u" により標準形"));

    // d²y/dr² = (v(r) − 1/(4r²)) y(r): the substitution y = r^(1/2) u turns
    // u″ + u′/r into r^(−1/2) (y″ + y/(4r²)), so the correction is −1/(4r²).
    at(Indent1, 1.5);
    FracD2Fit(QStringLiteral("y"), QStringLiteral("r"));
    ds(QStringLiteral("  =  ( "));
    FuncOf(QStringLiteral("v"), QStringLiteral("r"));
    addx(2);
    minus();
    addx(2);
    frac1(QStringLiteral("1"), QStringLiteral("4r^2"));
    addx(6);
    ds(QStringLiteral(") "));
    FuncOf(QStringLiteral("y"), QStringLiteral("r"));

    at(LeftMargin, 1.5);
    ds(q(u"に帰着するので，") + kMethodName + q(u"法が使えると言いたいところだが，そうはいかない。"));
    NewLine();
    FuncOf(QStringLiteral("y"), QStringLiteral("r"));
    ds(q(u" は原点で特異性をもつため，"));
    it(QStringLiteral("r"));
    ds(q(u" が小さいところでは "));
    it(QStringLiteral("y"));
    ds(q(u" の高階の導関数が"));
    NewLine();
    ds(q(u"大きな係数をもち，テイラー展開にもとづく") + kMethodName + q(u"法の誤差が大きくなる。"));
    NewLine();
    ds(q(u"したがって，この変換が有効なのは "));
    it(QStringLiteral("r"));
    ds(q(u" が大きいところだけであり，"));
    NewLine();
    it(QStringLiteral("r"));
    ds(q(u" が小さいところでは"));
    RungeKutta(q(u"クッタ公式を用いるのが安全である。"));
}

} // namespace quillet
