// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a program sets its runs. The programs keep a few routines in slightly different
// forms; each program passes the form it uses, so a program's style is decided in the
// program and the engine does not branch on who calls it.

#include <QString>

namespace course {

struct RunStyle {
    // Gaps measured in pixels, or in widths/heights of the letter "A" of the font in use.
    enum class Spacing { Pixels, Letters };

    bool greyWindow = false;                   // Initialize greys the window even when it is white
    bool swapRedGray = false;                  // palette entries 7 and 8 exchanged
    QString bodyComma = QStringLiteral(", ");  // the comma of body text, set in the gothic font
    double italicScale = 1.15;                 // Bookman italics at this many times the font size
    bool scriptNames = true;                   // sup/suf read names (phi, theta, omega, min, …)
    Spacing scriptLetterGap = Spacing::Pixels; // after a letter in a superscript: 2 px or 0.1 A
    double omegaScriptDrop = 0;                // a superscript ω drawn this many pixels lower
    bool paddedScripts = true;                 // sp() pads 2 px and minus() 4 px on both sides
    Spacing argR = Spacing::Pixels;            // "(r)": pixel gaps, or 0.3 A after the r
    Spacing argX = Spacing::Letters;           // "(x)": 0.2 A either side, or pixel gaps
    Spacing epsilonRaise = Spacing::Pixels;    // ε raised 2 px, or 0.1 of the line height
};

} // namespace course
