// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// calyx: four pages on the helium atom — the Hamiltonian, the variational method with
// a screened 1s orbital, the electron–electron Coulomb energy by the multipole
// expansion, the Hartree equations and the iteration that solves them.

#include <engine/shell/Document.h>

#include <QRectF>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

namespace calyx {

// The program's title: window caption, title label and the head of the printed page 0.
QString programTitle();

class CalyxDocument : public course::Document {
public:
    const course::DocumentSettings& settings() const override;
    void drawPage(int k) override;

    // Glyphs of this document, drawn at the cursor on Pic.
    void Laplacian(const QString& s); // ∇ with subscript s and a square
    void diBold(const QString& s);    // bold italic s, one pixel high
    void ddr();                       // the volume element d𝐫
    void dr();                        // dr
    // A tall brace of five Symbol pieces at x around the line y, each piece ht·CharH
    // from the next; index 0 opens, 1 closes. The cursor does not move.
    void ColBrace(int index, double x, double y, double ht) {
        Typesetter::ColBrace(index, x, y, ht, BraceBuild::FivePieces);
    }

private:
    // Page procedures.
    void pic0();
    void pic1();
    void pic2();
    void pic3();

    // Opening of every page: clear, cursor to the heading column and top line.
    void beginPage(bool firstPage);
    // Small compositions the pages share.
    void argSub(const QString& sub);                      // (r_sub)
    void orbital();                                       // φ(r)
    void orbitalOf(const QString& sub);                   // φ(r_sub)
    void potential();                                     // ϕ(r)
    void potentialOf(const QString& sub);                 // ϕ(r_sub)
    void scripts(const QString& sub, const QString& sup); // stacked sub- and superscript
    void expMinus(const QString& exponent);               // e^(−exponent)
    // ∫ with limits at the cursor, with room after a limit wider than the lower one.
    void intLim(const QString& upper, const QString& lower);
    void bigParenL();
    void bigParenR();
    void bigSquareL();
    void bigSquareR();
    // A fraction bar set as a run of n box-drawing rules on the formula line.
    void textBar(int n);
    // it(s) / phi() with the cursor past their ink (see pastInk).
    void itClear(const QString& s);
    void phiClear();
    // A fraction on a text bar of at least minRules rules (more when a part is wider):
    // the numerator numDy above and the denominator denDy below the line, both centred,
    // and each moved further off the bar if its ink would come within kInkAir of the
    // bar's.
    void textFraction(int minRules, double numDy, const std::function<void()>& num, double denDy,
                      const std::function<void()>& den);
    // A sum sign with limits as SumK draws it, the upper limit raised when its ink
    // would come within kInkAir of the sign's.
    void sumLim(const QString& lower, const QString& upper);
    // "<" or ">" as a relation between two variables: in the italic face's serif
    // companion, whose signs stand on the math axis at the letters' height (the body
    // font draws them small and raised).
    void relation(const QString& sign);
    // ( ∫₀ʳ 1/r + ∫ᵣ^∞ 1/r₂ ): the inner part of the Hartree potential.
    void potentialIntegrals();
    // The factor (1 − e^(−2ar))/r − a e^(−2ar) of the Coulomb energy.
    void coulombFactor();
};

std::unique_ptr<course::Document> makeDocument();

} // namespace calyx
