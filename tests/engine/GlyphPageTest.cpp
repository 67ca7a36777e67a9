// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every run and every Symbol glyph the pages use on one page, checks that each
// font has all of them, and saves the page for a look (COURSE_TEST_OUTPUT).

#include <engine/textruns/FontTable.h>
#include "RunLog.h"
#include "TestFonts.h"
#include <engine/textruns/TextRuns.h>

#include <QDir>
#include <QPainter>

#include "TestOutput.h"

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;

namespace {
QString outDir() { return course::testing::outputDir(); }
} // namespace

TEST(GlyphPage, EverySymbolCodeHasAGlyphAndAUnicodeMeaning) {
    struct Code {
        unsigned byte;
        char32_t meaning;
    };
    const Code codes[] = {
        {'a', U'α'},   {'b', U'β'},   {'d', U'δ'},   {'f', U'φ'},   {'j', U'ϕ'},   {'l', U'λ'},
        {'p', U'π'},   {'q', U'θ'},   {'Y', U'Ψ'},   {209, U'∇'},   {214, U'√'},   {182, U'∂'},
        {229, U'∑'},   {243, 0x2320}, {245, 0x2321}, {230, 0x239B}, {232, 0x239D}, {246, 0x239E},
        {248, 0x23A0}, {233, 0x23A1}, {235, 0x23A3}, {249, 0x23A4}, {251, 0x23A6}, {236, 0x23A7},
        {237, 0x23A8}, {238, 0x23A9}, {239, 0x23AA},
    };
    Surface g{testFonts()};
    g.FontName = QStringLiteral("Symbol");
    g.FontSize = 13;
    for (const Code& c : codes) {
        EXPECT_EQ(symbolCodeToUnicode(c.byte), c.meaning) << c.byte;
        g.Print(QString(QChar(c.byte)));
    }
    EXPECT_EQ(missingCharacters(g), QString());
}

TEST(GlyphPage, TestPageDrawsEveryRunWithoutMissingGlyphs) {
    Surface g(testFonts(), QSize(640, 360));
    g.FontSize = 13;
    g.Cls();
    TextRuns e;
    e.HasBookman = testFonts().hasFontOrStandIn(QStringLiteral("Bookman Old Style")) ? 1 : -1;
    DrawingScope on(e, g);
    double x = 10, y = 10;
    e.dsp(g, x, y, QStringLiteral("本文の例: 波動関数, エネルギー -1 と「方程式」。"));
    x = 10, y = 50;
    e.dspItalic(g, x, y, QStringLiteral("x"));
    e.sup(g, x, y, QStringLiteral("2"));
    x += 6;
    e.dspItalic(g, x, y, QStringLiteral("y"));
    e.suf(g, x, y, QStringLiteral("k+1"));
    x += 6;
    e.dspItalic(g, x, y, QStringLiteral("e"));
    e.sup(g, x, y, QStringLiteral("-iomegat"));
    x += 6;
    e.dspCourier(g, x, y, QStringLiteral("-"));
    e.dspOmega(g, x, y);
    e.dspEps(g, x, y);
    e.dspPi(g, x, y);
    e.dspD(x, y);
    e.dspItalic(g, x, y, QStringLiteral("x"));
    e.argx(g, x, y);
    e.argy(g, x, y);
    e.argr(g, x, y);
    e.dspSq(g, x, y);
    x += 8;
    e.dspHalf(g, x, y);
    x = 10, y = 100;
    e.dspSymbol(g, x, y, QStringLiteral("abdfjlpqY"));
    x += 10;
    e.dspSymbolItalic(g, x, y, QStringLiteral("abdfjlpqY"));
    x += 10;
    QString pieces;
    for (unsigned c : {209u, 214u, 182u, 229u, 243u, 245u, 230u, 232u, 246u, 248u, 233u, 235u, 249u, 251u,
                       236u, 237u, 238u, 239u})
        pieces += QChar(c);
    e.dspSymbol(g, x, y, pieces);
    x = 10, y = 150;
    e.dsp(g, x, y, QStringLiteral("⊿E = 0.892583，E = 2.692583 ― ∞ ～ ℏ ω ε φ"));

    EXPECT_EQ(missingCharacters(g), QString());
    const QString joined = course::testing::joined(g);
    for (QString s : {QStringLiteral("α"), QStringLiteral("Ψ"), QStringLiteral("∑"), QStringLiteral("∂"),
                      QStringLiteral("√"), QStringLiteral("∇")})
        EXPECT_TRUE(joined.contains(s)) << s.toStdString();

    for (qreal dpr : {1.0, 2.0}) {
        const QImage& img = g.image(dpr);
        EXPECT_EQ(img.width(), qRound(640 * dpr));
        EXPECT_TRUE(img.save(outDir() + QStringLiteral("/glyph-page@%1x.png").arg(dpr)));
    }
}

TEST(GlyphPage, TextKeepsItsLayoutWidthAtEveryPixelRatio) {
    // Ink extent of a long run must scale with the pixel ratio, not change the layout.
    Surface g(testFonts(), QSize(400, 40));
    g.FontSize = 13;
    g.Cls();
    g.Print(QStringLiteral("MMMMMMMMMMMMMMMMMMMM"));
    const double w = g.TextWidth(QStringLiteral("MMMMMMMMMMMMMMMMMMMM"));
    auto inkRight = [](const QImage& img) {
        for (int x = img.width() - 1; x >= 0; --x)
            for (int y = 0; y < img.height(); ++y)
                if (qGray(img.pixel(x, y)) < 128)
                    return x + 1;
        return 0;
    };
    const int r1 = inkRight(g.image(1.0));
    const int r2 = inkRight(g.image(2.0));
    EXPECT_NEAR(r1, w, 3);
    EXPECT_NEAR(r2 / 2.0, w, 3);
}
