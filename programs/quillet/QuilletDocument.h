#pragma once
// quillet: four pages on the Numerov method for y″ = v(x)·y — its derivation from
// Taylor series, the recurrence, its true per-step error from the characteristic
// equation, and the spherically and cylindrically symmetric radial equations.

#include <course/shell/Document.h>

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
    QuilletDocument();

    const course::DocumentSettings& settings() const override { return settings_; }
    void drawPage(int k) override;

    // Page procedures: each clears Pic and draws its whole page.
    void pic0();
    void pic1();
    void pic2();
    void pic3();

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

    // df/dv and d²f/dv² as the engine builds them, with three mends for the stand-in
    // fonts: the numerator letter stands on the baseline of its d (the italic face sits
    // lower on its line than the d's), higher still if its tail would reach the bar;
    // the bar reaches a pixel past the longer part; and the cursor ends after the bar
    // when the bar ends after the denominator, so what follows keeps clear of both.
    void FracD(const QString& f, const QString& v);
    void FracD2(const QString& f, const QString& v);

    // The least white left between two inks that must not touch, in pixels.
    static constexpr double kAir = 1.0;

private:
    // Starts a page: clears Pic and puts the cursor on the first line.
    void startPage(bool alwaysOneLineDown);
    // A new block: CurX = column, CurY += f·CharH.
    void at(int column, double f);
    // The ink `draw` leaves, relative to the cursor it starts from (drawn on a scratch
    // surface in Pic's font; Pic and the cursor are left as they were).
    QRectF inkOf(const std::function<void()>& draw);
    // Moves the cursor on to half a pixel past the ink drawn on Pic since operation
    // `first`, when that ink reaches further: an italic letter leans past its advance
    // and would touch a subscript or a parenthesis set right after it.
    void pastInk(std::size_t first);
    // it(letter) with the cursor past its ink (see pastInk).
    void itClear(const QString& letter);
    // How far the numerator letter f of a built derivative is set above the top y of
    // its d so that it stands on the d's baseline, and higher if its tail would come
    // within kAir of a bar at `barY`.
    double numeratorLift(const QString& f, double yn, double barY);
    // The built fraction's bar from the cursor to a pixel past the ink drawn since
    // `first` (at least `minLength` long); the cursor moves on to the bar's end when
    // the bar ends later.
    void derivativeBar(std::size_t first, double barY, double minLength);
    // X_s followed by `primes` prime marks hugging the subscript.
    void SubPrimed(const QString& X, const QString& s, int primes);
    void h2() { SqOf(QStringLiteral("h")); }
    // [num⁄den] at 0.9 and at 1.0 of the current size.
    void frac(const QString& num, const QString& den) { FracMk09(num, den); }
    void frac1(const QString& num, const QString& den) { FracMk1(num, den); }
    // How far the Symbol stand-in's glyphs are lowered to sit where the Symbol font
    // the page offsets were tuned with put them (ascent 1.005 em); 0 when they agree.
    double symbolDrop(double size) const;
    // The radical sign with a Gray bar of width w one pixel below y, as dspSqrt
    // draws it, the sign lowered by symbolDrop so that its arm meets the bar.
    void radical(double& x, double y, double w);
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

    course::DocumentSettings settings_;
};

std::unique_ptr<course::Document> makeDocument();

} // namespace quillet
