// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tessera: three pages on the time-dependent Schrödinger equation solved by the
// Crank–Nicolson scheme — time and space differencing, stability, the reduction of
// one time step to a tridiagonal linear system, and the modified Cholesky method on a
// 4×4 example with forward and back substitution.

#include <engine/shell/Document.h>

#include <QString>

#include <memory>

namespace tessera {

// The program's title: caption of the window and of its title label, and the line
// above the first heading of the printed page 0.
QString title();

class TesseraDocument : public course::Document {
public:
    TesseraDocument();

    const course::DocumentSettings& settings() const override;
    void drawPage(int k) override;

    // Glyphs of this document. They draw on Pic at CurX and advance it; y is the top
    // of the text.
    void DeltaT(double y);    // Δt
    void DeltaX(double y);    // Δx with 2 px either side
    void DeltaTPar(double y); // (Δt)
    void DeltaXSq(double y);  // (Δx)²
    // Square brackets around a 4-row matrix whose origin is X and whose rows start one
    // line below Y; the right bracket stands 10 characters and 3 px to the right.
    void MatBrackets(double X, double Y);
    // (Δx)² over Δt at the cursor; CurX ends after the numerator, inside the bar.
    void DxSqOverDt();
    // Length of that fraction's bar in characters.
    static constexpr double kDxSqBar = 5.8;

private:
    // Page procedures: each clears Pic and draws the whole page on it.
    void pic0();
    void pic1();
    void pic2();

    // Pieces the pages repeat.
    void fn() { fSS(QStringLiteral("n"), {}); }                 // fⁿ
    void fn1() { fSS(QStringLiteral("n+1"), {}); }              // fⁿ⁺¹
    void fnk(const QString& k) { fSS(QStringLiteral("n"), k); } // fⁿ_k
    void gn() { gSS(QStringLiteral("n"), {}); }                 // gⁿ
    void gnk(const QString& k) { gSS(QStringLiteral("n"), k); } // gⁿ_k
    void idx(const QString& letter, const QString& index);      // italic letter, subscript
    void tag(const QString& t);                                 // equation tag at TagCol
    void at(double x, double lines);                            // CurX = x, then incy lines
    void half();                                                // ½ at the cursor
    void headingColor(bool blue);
};

std::unique_ptr<course::Document> makeDocument();

} // namespace tessera
