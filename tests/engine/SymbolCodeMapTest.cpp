// SPDX-License-Identifier: GPL-3.0-or-later
// The derived Course Symbol font and the engine's Symbol translation come from one code
// table: the glyph the original font draws for a byte code must be the glyph the derived
// font draws for that code's Unicode character.

#include <engine/system/DataFolder.h>
#include <engine/textruns/FontTable.h>

#include <QFileInfo>
#include <QRawFont>
#include <QSet>

#include <gtest/gtest.h>

using namespace course;

namespace {
const QString kOriginal = QStringLiteral("/usr/share/fonts/opentype/urw-base35/StandardSymbolsPS.otf");

quint32 glyphOf(const QRawFont& font, char32_t c) {
    const QString s = QString::fromUcs4(&c, 1);
    const QList<quint32> glyphs = font.glyphIndexesForString(s);
    return glyphs.size() == 1 ? glyphs[0] : 0;
}
} // namespace

TEST(SymbolCodeMap, DerivedFontDrawsEachCodesGlyphAtItsUnicodeCharacter) {
    if (!QFileInfo::exists(kOriginal))
        GTEST_SKIP() << "fonts-urw-base35 is not installed";
    const QString derivedFile = DataFolder::file(QStringLiteral("fonts/CourseSymbol.otf"));
    ASSERT_FALSE(derivedFile.isEmpty()) << "no derived Symbol font in the data folder";
    const QRawFont original(kOriginal, 13);
    const QRawFont derived(derivedFile, 13);
    ASSERT_TRUE(original.isValid() && derived.isValid());

    int codes = 0;
    QSet<char32_t> seen;
    for (unsigned code = 32; code < 256; ++code) {
        // The original font maps the Symbol byte codes at U+0020..U+00FF.
        const quint32 expected = glyphOf(original, code);
        if (expected == 0)
            continue;
        ++codes;
        const char32_t u = symbolCodeToUnicode(code);
        EXPECT_FALSE(seen.contains(u)) << "two codes share U+" << std::hex << unsigned(u);
        seen.insert(u);
        EXPECT_EQ(glyphOf(derived, u), expected) << "code " << code << " U+" << std::hex << unsigned(u);
    }
    EXPECT_EQ(codes, 190);
}

TEST(SymbolCodeMap, TextRunsTranslateOnlyWhatTheTableMaps) {
    EXPECT_EQ(symbolCodeToUnicode('a'), U'α');
    EXPECT_EQ(symbolCodeToUnicode('0'), U'0');
    EXPECT_EQ(symbolCodeToUnicode(242), U'∫');
    EXPECT_EQ(symbolCodeToUnicode(210), char32_t(0xF0D2)); // no Unicode meaning: private use
    // Codes outside the font pass through.
    EXPECT_EQ(symbolCodeToUnicode(20), char32_t(20));
    EXPECT_EQ(symbolCodeToUnicode(255), char32_t(255));
    EXPECT_EQ(symbolToUnicode(QStringLiteral("abc")), QStringLiteral("αβχ"));
}
