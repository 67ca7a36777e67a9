// SPDX-License-Identifier: GPL-3.0-or-later
// The derived Japanese body font is cut down to the course's characters; the glyph check
// the page tests rely on must see a character it lacks even where a fallback font has it.

#include <engine/system/DataFolder.h>
#include <engine/textruns/Surface.h>
#include "TestFonts.h"

#include <QRawFont>

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;

namespace {
QString uncovered(const QRawFont& font, char32_t first, char32_t last) {
    QString out;
    for (char32_t c = first; c <= last; ++c)
        if (!font.supportsCharacter(c))
            out += QString::fromUcs4(&c, 1);
    return out;
}
} // namespace

TEST(DerivedBodyFont, CoversKanaKanjiLatinGreekAndDropsTheRadicals) {
    for (const char* style : {"Regular", "Bold"}) {
        SCOPED_TRACE(style);
        const QString file =
            DataFolder::file(QStringLiteral("fonts/CourseSansJP-%1.otf").arg(QLatin1String(style)));
        ASSERT_FALSE(file.isEmpty());
        const QRawFont font(file, 13);
        ASSERT_TRUE(font.isValid());
        EXPECT_EQ(uncovered(font, U'ぁ', U'ゖ'), QString());
        EXPECT_EQ(uncovered(font, U'ァ', U'ヶ'), QString());
        EXPECT_EQ(uncovered(font, U'!', U'~'), QString());
        EXPECT_EQ(uncovered(font, U'α', U'ω'), QString());
        EXPECT_EQ(uncovered(font, U'Α', U'Ρ'), QString());
        // JIS X 0208 kanji: the first and last of each level, and common ones.
        for (char32_t c : {U'亜', U'腕', U'弌', U'熙', U'方', U'程', U'式', U'子', U'長', U'一'})
            EXPECT_TRUE(font.supportsCharacter(c)) << unsigned(c);
        // Radicals would take over the ideographs' glyphs in a PDF's text.
        for (char32_t c : {char32_t(0x2F45), char32_t(0x2F00), char32_t(0x2EDD)})
            EXPECT_FALSE(font.supportsCharacter(c)) << unsigned(c);
        // Outside the course's coverage (JIS X 0212): cut away.
        EXPECT_FALSE(font.supportsCharacter(U'丂'));
    }
}

TEST(DerivedBodyFont, GlyphCheckReportsWhatOnlyAFallbackFontHas) {
    Surface g(testFonts(), QSize(200, 40));
    g.FontName = QStringLiteral("メイリオ");
    g.FontSize = 13;
    // 丂 is in the installed Noto font but not in the derived one.
    g.Print(QStringLiteral("方程式丂"));
    EXPECT_EQ(missingCharacters(g), QStringLiteral("丂"));
}
