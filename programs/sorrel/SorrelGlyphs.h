// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Hartree window's own text and glyph routines. They all draw on Pic at the
// cursor (CurX, CurY) through the engine's runs (in their sorrel variants) and
// advance CurX past what they draw.

#include <engine/textruns/TextRuns.h>

#include <QString>

namespace sorrel {

class SorrelGlyphs : public course::TextRuns {
public:
    SorrelGlyphs() : course::TextRuns(runStyle()) {}

    // The Hartree window's runs: see SorrelGlyphs.cpp.
    static course::RunStyle runStyle();

    // The window's own drawing surface (eps_1s and delta_eps draw there).
    course::Surface* Form = nullptr;

    void d(const QString& s);  // plain text
    void di(const QString& s); // italic text, letters spaced apart
    // di of one letter, the cursor then half a pixel past the letter's ink where it
    // leans past its advance (a subscript after it would touch it). Pic in pixels.
    void diClear(const QString& s);
    void sp(const QString& s);      // superscript
    void sf(const QString& s);      // subscript
    void Courier(const QString& s); // "Courier New" run
    void incx(double f);            // CurX += f·CharW (CharW as it stands)
    void epsln();                   // ε, slightly larger and raised
    void phi();                     // italic φ
    void eps_1s();                  // ε₁ₛ on the window
    void delta_eps();               // ⊿ε₁ₛ on the window
    void argr();                    // "(r)" at the cursor; re-measures CharW on Pic

    // A short legend line in `colour` beside the text at (x, y); x moves past it.
    void ShowLineColor(course::Surface& g, double& x, double y, course::Rgb colour);
};

} // namespace sorrel
