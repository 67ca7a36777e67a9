// SPDX-License-Identifier: GPL-3.0-or-later
// Glyphs of brindle's explanation pages: x₀, x with a subscript clear of its ink, the
// arguments and the difference quotient.

#include "BrindleDocument.h"

#include <cstddef>

namespace brindle {

void BrindleDocument::x0() { xSub("0"); }

void BrindleDocument::xSub(const char* sub) {
    const std::size_t first = Pic->ops().size();
    it(QStringLiteral("x"));
    pastInk(first);
    sf(QString::fromLatin1(sub));
}

void BrindleDocument::argx0() {
    ds(QStringLiteral("("));
    x0();
    ds(QStringLiteral(")"));
}

void BrindleDocument::fnOf(const char* name, const char* index) {
    it(QString::fromLatin1(name));
    if (*index)
        sf(QString::fromLatin1(index));
    argx(*Pic, CurX, CurY);
}

void BrindleDocument::diffz() {
    ds(QStringLiteral("("));
    addx(4);
    for (int k = 1; k <= 2; ++k) {
        it(QStringLiteral("z"));
        sf(QString::number(k));
        double& mark = k == 1 ? markX_ : markX2_;
        mark = CurX;
        CurX = mark - 7;
        prime();
        CurX = mark + 4;
        argx0();
        if (k == 1) {
            addx(4);
            minus();
            addx(2);
        }
    }
    addx(4);
    ds(QStringLiteral(")"));
}

} // namespace brindle
