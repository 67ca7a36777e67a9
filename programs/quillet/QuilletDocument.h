// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillet: four pages on the Numerov method for y″ = v(x)·y — its derivation from
// Taylor series, the recurrence, its true per-step error from the characteristic
// equation, and the spherically and cylindrically symmetric radial equations.

#include <engine/shell/Document.h>

#include <QRectF>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

namespace quillet {

// The method's name as the headings and the prose write it.
inline const QString kMethodName = QStringLiteral("ヌメロフ");
// Caption of the window and title of the printed first page.
inline const QString kTitle = QStringLiteral("ヌメロフ法による微分方程式の数値解法");

class QuilletDocument : public course::Document {
public:
    const course::DocumentSettings& settings() const override;
    void drawPage(int k) override;

    // O(h^k) at the cursor.
    void Order(int k);
    // An enlarged italic λ at the cursor, two pixels above where the Symbol font the
    // page offsets were made for puts it, the cursor past its slanted ink; leaves the
    // surface at the page font size, upright.
    void lambda();

    // Offsets of the root rows on page 2 from the row's top line Y0 and its bar
    // start Xbar: numerator at (Xbar + 3, Y0 − 20), denominator at (Xbar + 4·CharW, Y0 + 18).
    static constexpr double kRootNumeratorDx = 3;
    static constexpr double kRootNumeratorDy = -20;
    static constexpr double kRootDenominatorCols = 4;
    static constexpr double kRootDenominatorDy = 18;

private:
    // Page procedures: each clears Pic and draws its whole page.
    void pic0();
    void pic1();
    void pic2();
    void pic3();

    // Starts a page: clears Pic and puts the cursor on the first line.
    void startPage(bool alwaysOneLineDown);
    // A new block: CurX = column, CurY += f·CharH.
    void at(int column, double f);
    // it(letter) with the cursor past its ink (see pastInk).
    void itClear(const QString& letter);
    // X_s followed by `primes` prime marks hugging the subscript.
    void SubPrimed(const QString& X, const QString& s, int primes);
    void h2() { SqOf(QStringLiteral("h")); }
    // [num⁄den] at 0.9 and at 1.0 of the current size.
    void frac(const QString& num, const QString& den) { FracMk09(num, den); }
    void frac1(const QString& num, const QString& den) { FracMk1(num, den); }
    // How far the Symbol stand-in's glyphs are lowered to sit where the Symbol font
    // the page offsets were tuned with put them (ascent 1.005 em); 0 when they agree.
    double symbolDrop(double size) const;
    // "一" in the gothic font, two pixels down, as the prose draws it before 定値 and 般解.
    void ichi();
    // "ルンゲ-", two pixels, then the rest of the run.
    void RungeKutta(const QString& rest);
    // y_{n+1} − 2y_n + y_{n−1}, the left side shared by the steps of the derivation.
    void secondDifference(double around);
    // (1 ∓ c h² v) factors of the recurrence and of its constant-v form. The third
    // factor of a row sets its minus two pixels off the 1, the first one does not.
    void factorMinus(const QString& v, bool third = false);
    void factorPlus(const QString& v);
    // Row of the root formula on page 2: a bar of n box-drawing strokes at the cursor.
    double rootBar(int n);
    void rootDenominator(double Y0, double Xbar);
};

std::unique_ptr<course::Document> makeDocument();

} // namespace quillet
