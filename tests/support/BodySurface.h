// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A surface in the pages' body font (the body face at 13 points, upright, not bold),
// for tests of runs and constructs that must leave the font as they found it.

#include <engine/textruns/Surface.h>
#include "TestFonts.h"

#include <QString>

#include <gtest/gtest.h>

namespace course::testing {

inline const QString kBodyFace = QStringLiteral("メイリオ");

struct BodySurface {
    Surface g{testFonts()};

    BodySurface() {
        g.FontName = kBodyFace;
        g.FontSize = 13;
    }
    // Height and width of "A" in the surface's current font.
    double TH() const { return g.TextHeight(QStringLiteral("A")); }
    double TW() const { return g.TextWidth(QStringLiteral("A")); }
    void expectFontRestored() const {
        EXPECT_EQ(g.FontName, kBodyFace);
        EXPECT_DOUBLE_EQ(g.FontSize, 13);
        EXPECT_FALSE(g.FontBold);
        EXPECT_FALSE(g.FontItalic);
    }
};

} // namespace course::testing
