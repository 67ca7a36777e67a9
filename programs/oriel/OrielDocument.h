// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// oriel: three pages on the exact time evolution of a Gaussian wave packet in a
// one-dimensional harmonic oscillator: the expansion of the initial function in the
// eigenfunctions, the phase factors, the closed-form kernel of the series and the
// closed forms of Ψ(x, t) and |Ψ(x, t)|².

#include <engine/shell/Document.h>

#include <QString>

#include <functional>
#include <memory>

namespace oriel {

// The program's title, shown in the title box and printed above page 0.
QString title();

class OrielDocument : public course::Document {
public:
    OrielDocument();

    const course::DocumentSettings& settings() const override;
    void drawPage(int k) override;
    void drawTitleBox() override;

    // Glyphs of this document; each draws at the cursor and leaves it after the glyph.
    void b_of_t();       // b(t)
    void Large_e();      // e, a little larger
    void PhaseFactor();  // e^(−iE_n t/ħ)
    void Fxys();         // F(x, y, s)
    void B_alpha();      // Bα
    void alphaSqOver2(); // α²/2
    void cos_omega_t();  // cos ωt
    void sin_omega_t();  // sin ωt
    void cos2_omega_t(); // cos² ωt
    void sin2_omega_t(); // sin² ωt
    void OneAddSsq();    // 1 + s²
    void OneSubSsq();    // 1 − s²
    void ParOneAddSsq(); // (1 + s²)
    void ParOneSubSsq(); // (1 − s²)

    // ---- Formula helpers the pages share ----
    // Built fraction at the cursor: a bar of "─" as long as the longer part plus `pad`
    // on each side, the numerator raised 0.5·CharH and the denominator lowered
    // 0.55·CharH, each centred on the bar. The cursor ends after the bar on the
    // formula line.
    void fraction(const std::function<void()>& num, const std::function<void()>& den, double pad = 3);
    // Tall bracket (kinds 1–4 as BigBracket) beside a built fraction on the line
    // CurY; the cursor moves past it.
    void tallBracket(int kind);
    // The square brackets [ … ] (kinds 3 and 4) around what `inside` draws, their gap
    // set so that they span its ink; the cursor ends after the right bracket.
    void squareBrackets(const std::function<void()>& inside);
    // exp[−num/den] after 0.3·CharW: the Courier name and the fraction in square
    // brackets that span it.
    void expOfMinus(const std::function<void()>& num, const std::function<void()>& den);
    // A radical sized to what `radicand` draws (rootOf); the cursor ends after it, and
    // at minEnd at least.
    void rootOver(const std::function<void()>& radicand, double minEnd);
    // How far a Symbol letter drawn at `scale` × the size with its cell top at
    // CurY + dy must move down to stand one pixel above the baseline of the italic
    // letters beside it (the substitute italic face sits lower on its line than the
    // one the offsets were made for).
    double greekDrop(double scale, double dy);
    // Baseline of the italic variables, below the top of their line.
    double italicBaseline();
    // A Courier run set on the italic letters' baseline.
    void courierOnLine(const QString& s);
    // alpha and alphaPlain, lowered by greekDrop.
    void alphaOnLine();
    void alphaPlainOnLine();

private:
    // Page procedures.
    void pic0();
    void pic1();
    void pic2();

    // Equation tag at x.
    void tagAt(const QString& tag, double x);
    // The cursor to the formula column `cols`·CharW.
    void formulaAt(double cols) { CurX = cols * CharW; }
    // A bar of "─" characters from x, `width` long, on the line CurY.
    void barOfRules(double x, double width);
    // π^(−1/4)
    void piPowMinusQuarter();
    // s^(1/2)
    void sPowHalf();
    // Σ from n = 0 to ∞ at the cursor, and the space after it.
    void sumN();
    // ∫ from −∞ to ∞ at the cursor, and the space after it.
    void integralInf();
    // Courier "exp", an opening tall parenthesis and the minus sign after it.
    void expOpen();
    // A plain run in Blue, the colour being set back to the button-text colour.
    void headingRun(const QString& s);
};

std::unique_ptr<course::Document> makeDocument();

} // namespace oriel
