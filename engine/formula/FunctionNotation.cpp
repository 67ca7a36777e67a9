// SPDX-License-Identifier: GPL-3.0-or-later
// Function notation: f(v), a name with stacked scripts, and a letter with a tilde.

#include <engine/formula/Typesetter.h>

namespace course {

void Typesetter::fSupSub(const QString& name, const QString& supText, const QString& subText) {
    Surface& g = pic();
    addx(6);
    dspItalic(g, CurX, CurY, name);
    addx(name == QStringLiteral("f") ? 6 : 3);
    // Both scripts start at the same x; the superscript rises a little more when a
    // subscript sits under it.
    double x1 = CurX;
    sup(g, x1, subText.isEmpty() ? CurY : CurY - 2, supText);
    double x2 = CurX;
    suf(g, x2, CurY + 3, subText);
    CurX = MaxOf(x1, x2);
}

void Typesetter::tilde(const QString& s) {
    ConstructMark mark(pic(), ConstructKind::Accent);
    it(s);
    double x = CurX - 12;
    dsp(pic(), x, CurY - 15, QStringLiteral("~"));
}

} // namespace course
