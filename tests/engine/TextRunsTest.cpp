// SPDX-License-Identifier: GPL-3.0-or-later
#include "BodySurface.h"
#include "RunLog.h"
#include "LineTop.h"
#include "TestFonts.h"
#include <engine/textruns/TextRuns.h>
#include <engine/textruns/FontTable.h>

#include "../CommaLocale.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;
using course::testing::lineTop;
using course::testing::texts;

namespace {

struct Runs : ::testing::Test, course::testing::BodySurface {
    TextRuns e;
    void SetUp() override { e.HasBookman = 1; }
};

} // namespace

TEST_F(Runs, SupOfDigitIsUprightRaisedAndSmaller) {
    double x = 100;
    e.sup(g, x, 50, QStringLiteral("2"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, QStringLiteral("2"));
    EXPECT_FALSE(t[0].italic);
    EXPECT_DOUBLE_EQ(t[0].fontSize, 0.75 * 13);
    EXPECT_NEAR(t[0].a.y(), 50 - 0.2 * TH(), 1e-9);
    EXPECT_NEAR(x, 100 + t[0].cell.width(), 1e-9);
    expectFontRestored();
}

TEST_F(Runs, SupOfLetterIsItalicAndAdvancesTwoMore) {
    double x = 100;
    e.sup(g, x, 50, QStringLiteral("n"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_TRUE(t[0].italic);
    EXPECT_EQ(t[0].fontName, QStringLiteral("Bookman Old Style"));
    EXPECT_NEAR(t[0].fontSize, 1.15 * 0.75 * 13, 1e-9);
    EXPECT_NEAR(x, 100 + t[0].cell.width() + 2, 1e-9);
    expectFontRestored();
}

TEST_F(Runs, SupMinusOneIsATrueMinusInTheCourierRoomThenUprightDigit) {
    double x = 0;
    e.sup(g, x, 50, QStringLiteral("-1"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 2u);
    // The body font's minus at the script's size, on the digit's baseline, centred in
    // the room of a Courier hyphen at 1.2 times that size; the digit after that room.
    Surface m{testFonts()};
    m.FontName = QStringLiteral("Courier New");
    m.FontSize = 1.2 * 0.75 * 13;
    const double room = m.TextWidth(QStringLiteral("-"));
    EXPECT_EQ(t[0].text, QStringLiteral("−"));
    EXPECT_EQ(t[0].fontName, QStringLiteral("メイリオ"));
    EXPECT_NEAR(t[0].fontSize, 0.75 * 13, 1e-9);
    EXPECT_NEAR(t[0].a.x() + t[0].cell.width() / 2, room / 2, 1e-9);
    EXPECT_EQ(t[0].a.y(), t[1].a.y());
    EXPECT_EQ(t[1].text, QStringLiteral("1"));
    EXPECT_EQ(t[1].fontName, QStringLiteral("メイリオ"));
    EXPECT_NEAR(t[1].a.x(), room, 1e-9);
}

TEST_F(Runs, SupGreekNamesGiveTwoPhiShapesAndSymbolLetters) {
    double x = 0;
    e.sup(g, x, 50, QStringLiteral("phifithetaalphabetapi"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].text, QStringLiteral("φ"));
    EXPECT_EQ(t[0].fontName, QStringLiteral("メイリオ"));
    EXPECT_TRUE(t[0].italic);
    EXPECT_EQ(t[1].fontName, QStringLiteral("Symbol"));
    EXPECT_EQ(t[1].text, symbolToUnicode(QStringLiteral("j")));
    EXPECT_NE(t[0].text, t[1].text);
    EXPECT_EQ(t[2].text, symbolToUnicode(QStringLiteral("q")));
    EXPECT_NEAR(t[2].a.y(), 50 - 0.2 * TH() + 1, 1e-9);
    EXPECT_EQ(t[3].text, QStringLiteral("α"));
    EXPECT_EQ(t[4].text, QStringLiteral("β"));
    // π at the full size, two pixels higher.
    EXPECT_EQ(t[5].text, QStringLiteral("π"));
    EXPECT_DOUBLE_EQ(t[5].fontSize, 13);
    EXPECT_NEAR(t[5].a.y(), 50 - 0.2 * TH() - 2, 1e-9);
    expectFontRestored();
}

TEST_F(Runs, SupTimeLabelIsOneRun) {
    double x = 0;
    e.sup(g, x, 0, QStringLiteral("Time: 3"));
    ASSERT_EQ(texts(g).size(), 1u);
    EXPECT_EQ(texts(g)[0].text, QStringLiteral("Time: 3"));
}

TEST_F(Runs, SufOfKPlusOne) {
    double x = 0;
    e.suf(g, x, 40, QStringLiteral("k+1"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_TRUE(t[0].italic);
    EXPECT_EQ(t[1].fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t[1].text, QStringLiteral("+"));
    EXPECT_EQ(t[2].text, QStringLiteral("1"));
    EXPECT_NEAR(lineTop(t[0]), 40 + 0.3 * TH(), 1e-9);
    EXPECT_NEAR(t[1].a.x(), t[0].a.x() + t[0].cell.width() + 0.2 * TW(), 1e-9);
    expectFontRestored();
}

TEST_F(Runs, SufMinMaxAndCapitals) {
    double x = 0;
    e.suf(g, x, 40, QStringLiteral("max"));
    ASSERT_EQ(texts(g).size(), 1u);
    EXPECT_EQ(texts(g)[0].text, QStringLiteral("max"));
    EXPECT_FALSE(texts(g)[0].italic);

    g.Cls();
    x = 0;
    e.suf(g, x, 40, QStringLiteral("Nb"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 2u);
    // From the capital on: 0.9 of the subscript size, 0.1 TH lower, kept for "b".
    EXPECT_NEAR(t[0].fontSize, 1.15 * 0.9 * 0.85 * 13, 1e-9);
    EXPECT_NEAR(lineTop(t[0]), 40 + 0.4 * TH(), 1e-9);
    EXPECT_NEAR(t[1].fontSize, t[0].fontSize, 1e-9);
    EXPECT_NEAR(t[1].a.y(), t[0].a.y(), 1e-9);
    expectFontRestored();
}

TEST_F(Runs, SufJGetsItsOwnSpacing) {
    double x = 10;
    e.suf(g, x, 0, QStringLiteral("j"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_NEAR(t[0].a.x(), 11, 1e-9);
    EXPECT_NEAR(x, 11 + t[0].cell.width() + 0.2 * TW(), 1e-9);
}

TEST_F(Runs, DspMinusInBodyFontOnly) {
    double x = 0;
    e.dsp(g, x, 0, QStringLiteral("-1"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, QStringLiteral("−"));
    EXPECT_EQ(t[1].text, QStringLiteral("1"));

    Surface other{testFonts()};
    other.FontName = QStringLiteral("Times New Roman");
    x = 0;
    e.dsp(other, x, 0, QStringLiteral("-1"));
    ASSERT_EQ(texts(other).size(), 1u);
    EXPECT_EQ(texts(other)[0].text, QStringLiteral("-1"));
}

TEST_F(Runs, DspCommaIsLoweredGothicAndBlankDrawnTwice) {
    double x = 0;
    e.dsp(g, x, 20, QStringLiteral("a, b"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].text, QStringLiteral("a"));
    EXPECT_EQ(t[1].text, QStringLiteral(", "));
    EXPECT_EQ(t[1].fontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_NEAR(t[1].a.y(), 20 + 0.15 * TH(), 1e-9);
    EXPECT_EQ(t[2].text, QStringLiteral(" b"));
    EXPECT_NEAR(t[2].a.x(), t[1].a.x() + t[1].cell.width(), 1e-9);
    EXPECT_NEAR(x, t[2].a.x() + t[2].cell.width(), 1e-9);
}

TEST(RunsVariants, FullWidthCommaWhereTheStyleSaysSo) {
    Surface g{testFonts()};
    g.FontSize = 13;
    RunStyle fullWidth;
    fullWidth.bodyComma = QStringLiteral("，");
    TextRuns e(fullWidth);
    double x = 0;
    e.dsp(g, x, 0, QStringLiteral("a，b, c"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].text, QStringLiteral("，"));
    EXPECT_EQ(t[1].fontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(t[2].text, QStringLiteral("b, c"));
}

TEST_F(Runs, ItalicWithoutBookmanIsBoldTimesAndVInCentury) {
    e.HasBookman = -1;
    double x = 0;
    e.dspItalic(g, x, 30, QStringLiteral("x"));
    e.dspItalic(g, x, 30, QStringLiteral("v"));
    auto t = texts(g);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].fontName, QStringLiteral("Times New Roman"));
    EXPECT_TRUE(t[0].bold);
    EXPECT_TRUE(t[0].italic);
    EXPECT_NEAR(t[0].fontSize, 1.15 * 13, 1e-9);
    EXPECT_EQ(t[1].fontName, QStringLiteral("Century"));
    EXPECT_DOUBLE_EQ(lineTop(t[1]), 29);
    expectFontRestored();
}

TEST_F(Runs, EmptyStringsDrawNothing) {
    double x = 7;
    e.dsp(g, x, 0, QString());
    e.dspItalic(g, x, 0, QString());
    e.dspCourier(g, x, 0, QString());
    e.dspSymbol(g, x, 0, QString());
    e.sup(g, x, 0, QString());
    e.suf(g, x, 0, QString());
    EXPECT_TRUE(texts(g).empty());
    EXPECT_DOUBLE_EQ(x, 7);
    expectFontRestored();
}

TEST_F(Runs, GlyphsRestoreTheFont) {
    double x = 0, y = 20;
    e.dspSq(g, x, y);
    e.dspHalf(g, x, y);
    e.dspOmega(g, x, y);
    e.dspEps(g, x, y);
    e.dspPi(g, x, y);
    e.argr(g, x, y);
    e.argx(g, x, y);
    e.argy(g, x, y);
    DrawingScope on(e, g);
    e.dspD(x, y);
    expectFontRestored();
    EXPECT_GT(texts(g).size(), 12u);
}

TEST_F(Runs, HalfKeepsXAfterTheBar) {
    double x = 50, y = 20;
    e.dspHalf(g, x, y);
    auto t = texts(g);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].text, QStringLiteral("―"));
    EXPECT_NEAR(x, 50 + t[0].cell.width(), 1e-9);
    EXPECT_NEAR(t[1].a.x(), x - 1.2 * TW(), 1e-9);
    EXPECT_NEAR(t[2].a.x(), x - 1.2 * TW(), 1e-9);
    EXPECT_LT(t[1].a.y(), t[2].a.y());
}

TEST(FontExist, AsksTheTableOfPicForTheExactName) {
    TextRuns t;
    Surface g{testFonts()};
    {
        DrawingScope on(t, g);
        EXPECT_TRUE(t.FontExist(QStringLiteral("Bookman Old Style")));
        EXPECT_FALSE(t.FontExist(QStringLiteral("bookman old style")));
        EXPECT_TRUE(t.FontExist(QStringLiteral("DejaVu Sans")));
        EXPECT_FALSE(t.FontExist(QStringLiteral("dejavu sans")));
        EXPECT_FALSE(t.FontExist(QStringLiteral("No Such Font 123")));
        EXPECT_TRUE(t.FontExist(QStringLiteral("Course Sans JP")));
    }
    // A surface of a table without the derived fonts: they are not there for it.
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    FontTable none(empty.path());
    Surface bare(none);
    DrawingScope on(t, bare);
    EXPECT_FALSE(t.FontExist(QStringLiteral("Course Sans JP")));
    EXPECT_TRUE(t.FontExist(QStringLiteral("Bookman Old Style")));
}

TEST(TrimStr, MatchesThePlatformStrFormat) {
    EXPECT_EQ(TextRuns::TrimStr(0), QStringLiteral("0"));
    EXPECT_EQ(TextRuns::TrimStr(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(TextRuns::TrimStr(0.5), QStringLiteral(".5"));
    EXPECT_EQ(TextRuns::TrimStr(-0.25), QStringLiteral("-.25"));
    EXPECT_EQ(TextRuns::TrimStr(100), QStringLiteral("100"));
    EXPECT_EQ(TextRuns::TrimStr(0.0001), QStringLiteral(".0001"));
    EXPECT_EQ(TextRuns::TrimStr(0.00001), QStringLiteral("1E-05"));
    EXPECT_EQ(TextRuns::TrimStr(-1.5e-7), QStringLiteral("-1.5E-07"));
    EXPECT_EQ(TextRuns::TrimStr(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(TextRuns::TrimStr(1e15), QStringLiteral("1E+15"));
    EXPECT_EQ(TextRuns::TrimStr(1.0 / 3), QStringLiteral(".333333333333333"));
    EXPECT_EQ(TextRuns::TrimStr(2.0 / 3), QStringLiteral(".666666666666667"));
}

TEST(TrimStr, WritesADecimalPointUnderACommaLocale) {
    course::testing::CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "de_DE.UTF-8 is not installed (scripts/setup.sh makes it)";
    EXPECT_EQ(TextRuns::TrimStr(0.5), QStringLiteral(".5"));
    EXPECT_EQ(TextRuns::TrimStr(-2.25), QStringLiteral("-2.25"));
    EXPECT_EQ(TextRuns::TrimStr(-1.5e-7), QStringLiteral("-1.5E-07"));
    EXPECT_EQ(TextRuns::TrimStr(1234567.5), QStringLiteral("1234567.5"));
}

TEST(MaxOf, FirstWhenEqual) {
    EXPECT_EQ(TextRuns::MaxOf(1, 2), 2);
    EXPECT_EQ(TextRuns::MaxOf(3, 2), 3);
    const double z = 0.0, nz = -0.0;
    EXPECT_TRUE(std::signbit(TextRuns::MaxOf(nz, z)));
}

TEST(Palette, TheStyleCanSwapRedAndGray) {
    RunStyle swapped;
    swapped.swapRedGray = true;
    TextRuns a, s(swapped);
    EXPECT_EQ(a.MyColor[7], RGB(255, 0, 0));
    EXPECT_EQ(a.MyColor[8], RGB(128, 128, 128));
    EXPECT_EQ(s.MyColor[7], RGB(128, 128, 128));
    EXPECT_EQ(s.MyColor[8], RGB(255, 0, 0));
    EXPECT_EQ(a.MyColor[3], RGB(255, 165, 0));
    EXPECT_EQ(a.MyColor[14], RGB(255, 255, 0));
}

// The shortcut that cuts only the glyphs reaching furthest right finds what cutting the
// whole outline finds, for every band across a long mixed run, an italic one and a turned one.
TEST_F(Runs, InkRightWithinABandIsThatOfTheWholeOutline) {
    g.CurrentX = 20;
    g.CurrentY = 40;
    g.Print(QStringLiteral(" = 0.125 (0.02 周期)　　ノルム = 1.000000000000　　最大差 = 1.23×10"));
    g.FontItalic = true;
    g.CurrentX = 30;
    g.CurrentY = 90;
    g.Print(QStringLiteral("fjy(Ψ)"));
    g.FontItalic = false;
    g.deviceText(300, 200, QStringLiteral("E [hartree]"), true, 90);
    ASSERT_EQ(g.ops().size(), 3u);
    int inside = 0;
    for (const DrawOp& op : g.ops()) {
        const QPainterPath outline = textOutline(op);
        const QRectF all = outline.boundingRect();
        for (double top = all.top() - 3; top < all.bottom() + 1; top += 0.7)
            for (double height : {0.5, 2.0, 6.5}) {
                const QRectF band(-1e5, top, 2e5, height);
                QPainterPath cutter;
                cutter.addRect(band);
                const QRectF cut = outline.intersected(cutter).boundingRect();
                const std::optional<double> right = inkRightWithin(op, band);
                ASSERT_EQ(right.has_value(), !cut.isEmpty()) << op.text.toStdString() << " at " << top;
                if (right) {
                    EXPECT_NEAR(*right, cut.right(), 1e-9) << op.text.toStdString() << " at " << top;
                    ++inside;
                }
            }
    }
    EXPECT_GT(inside, 40);
}
