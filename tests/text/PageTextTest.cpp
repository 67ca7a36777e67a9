// SPDX-License-Identifier: GPL-3.0-or-later
// The page as text: reading order, scripts, fractions, Symbol characters, on drawn
// runs and on one page of every program.

#include "PageWalk.h"
#include "TestOutput.h"
#include "TestFonts.h"

#include <engine/formula/Typesetter.h>
#include <engine/textruns/PageText.h>
#include <engine/system/Environment.h>
#include <engine/textruns/TextRuns.h>

#include <QFile>

#include <gtest/gtest.h>

using course::testing::testFonts;
using namespace course;

namespace {

// A page in the body font at 13 points, and the runs that draw on it.
struct Runs : ::testing::Test {
    Surface g{testFonts(), QSize(600, 400)};
    TextRuns e;
    Runs() { e.HasBookman = 1, g.FontSize = 13, g.FontName = QStringLiteral("メイリオ"); }
    double TH() const { return g.TextHeight(QStringLiteral("A")); }
};

} // namespace

TEST_F(Runs, LinesTopToBottomRunsLeftToRightWithSpacesAtGaps) {
    // Drawn out of order: the second line first, its right half before its left.
    double x = 200;
    e.dsp(g, x, 60, QStringLiteral("右"));
    x = 20;
    e.dsp(g, x, 60, QStringLiteral("左"));
    x = 20;
    e.dsp(g, x, 20, QStringLiteral("一行目"));
    x += 1; // a pixel apart reads as one word
    e.dsp(g, x, 20, QStringLiteral("続き"));
    EXPECT_EQ(pageText(g), QStringLiteral("一行目続き\n左 右"));
}

TEST_F(Runs, ScriptsFollowTheirBaseInOneNotation) {
    double x = 20;
    e.dspItalic(g, x, 40, QStringLiteral("x"));
    e.suf(g, x, 40, QStringLiteral("0"));
    e.dsp(g, x, 40, QStringLiteral(" + "));
    e.dspItalic(g, x, 40, QStringLiteral("f"));
    e.sup(g, x, 40, QStringLiteral("n+1"));
    e.dsp(g, x, 40, QStringLiteral(" + "));
    e.dspItalic(g, x, 40, QStringLiteral("R"));
    e.suf(g, x, 40, QStringLiteral("1s"));
    // Both scripts on one base: the subscript first.
    e.dsp(g, x, 40, QStringLiteral(" + "));
    e.dspItalic(g, x, 40, QStringLiteral("x"));
    double xs = x;
    e.sup(g, xs, 40, QStringLiteral("2"));
    e.suf(g, x, 40, QStringLiteral("i"));
    EXPECT_EQ(pageText(g), QStringLiteral("x_0 + f^(n+1) + R_(1s) + x_i^2"));
}

TEST_F(Runs, SymbolCodesReadAsTheCharactersTheyDraw) {
    double x = 20;
    e.dspSymbol(g, x, 40, QStringLiteral("abpY"));
    e.dspSymbol(g, x, 40, QString(QChar(182)) + QChar(214) + QChar(229));
    EXPECT_EQ(pageText(g), QStringLiteral("αβπΨ∂√∑"));
}

TEST_F(Runs, PiecesOfLargeSignsLeaveOnlyTheSignTheyStandFor) {
    g.FontName = QStringLiteral("Symbol");
    auto piece = [&](int code, double x, double y) {
        ConstructMark mark(g, ConstructKind::Integral);
        g.CurrentX = x;
        g.CurrentY = y;
        g.Print(QString(QChar(code)));
    };
    piece(243, 20, 35); // upper half of the integral sign
    piece(245, 20, 52); // lower half
    g.FontName = QStringLiteral("メイリオ");
    double x = 32;
    e.dsp(g, x, 40, QStringLiteral("f dx"));
    // A brace and an extension piece on a line of their own draw no character.
    g.FontName = QStringLiteral("Symbol");
    g.CurrentX = 20;
    g.CurrentY = 150;
    g.Print(QString(QChar(236)) + QChar(239) + QChar(96));
    EXPECT_EQ(pageText(g), QStringLiteral("∫f dx"));
}

TEST_F(Runs, AFractionReadsNumeratorOverDenominatorOnItsLine) {
    double x = 20;
    e.dsp(g, x, 40, QStringLiteral("y = "));
    const double bar = x;
    double xn = bar + 2;
    e.dspItalic(g, xn, 40 - 11, QStringLiteral("a"));
    e.sup(g, xn, 40 - 11, QStringLiteral("2"));
    double xd = bar + 2;
    e.dsp(g, xd, 40 + 0.5 * TH(), QStringLiteral("12"));
    g.Line(bar, 40 + 12, bar + 30, 40 + 12);
    x = bar + 32;
    e.dsp(g, x, 40, QStringLiteral(" + 1"));
    EXPECT_EQ(pageText(g), QStringLiteral("y = (a^2)/12 + 1"));
}

TEST_F(Runs, ARadicalReadsOverWhatItsOverlineCovers) {
    Typesetter t;
    t.HasBookman = 1;
    double x = 20;
    t.dsp(g, x, 40, QStringLiteral("x = "));
    double end = x;
    t.dspSqrt(g, end, 40, 24);
    double r = end - 24; // the radicand starts where the overline does
    t.dsp(g, r, 40, QStringLiteral("4"));
    t.dspItalic(g, r, 40, QStringLiteral("a"));
    t.dsp(g, end, 40, QStringLiteral(" + "));
    t.dspSqrt(g, end, 40, 10);
    r = end - 10;
    t.dspItalic(g, r, 40, QStringLiteral("b"));
    EXPECT_EQ(pageText(g), QStringLiteral("x = √(4a) + √b"));
}

TEST_F(Runs, LimitsAboveAndBelowASumAreItsScripts) {
    Typesetter t;
    t.HasBookman = 1;
    double x = 20;
    t.dsp(g, x, 60, QStringLiteral("F = "));
    t.SumK(g, x, 60, QStringLiteral("n=0"), QStringLiteral("∞"));
    t.dspItalic(g, x, 60, QStringLiteral("c"));
    t.suf(g, x, 60, QStringLiteral("n"));
    EXPECT_EQ(pageText(g), QStringLiteral("F = ∑_(n=0)^∞c_n"));
}

TEST_F(Runs, ALetterDrawnTwiceForWeightIsReadOnce) {
    double x = 20;
    e.dspItalic(g, x, 40, QStringLiteral("v"));
    double again = 21;
    e.dspItalic(g, again, 40, QStringLiteral("v"));
    e.dsp(g, x, 40, QStringLiteral(" = 0"));
    EXPECT_EQ(pageText(g), QStringLiteral("v = 0"));
}

TEST_F(Runs, AFaceIsReadAtTheSizeItWasDrawnForNotOneGuessedFromItsName) {
    // A Courier or serif run the page sets at the body size itself is body text, not
    // a smaller script, though the same faces stand in larger for minus signs and
    // italic letters elsewhere.
    double x = 20;
    e.dsp(g, x, 40, QStringLiteral("a = "));
    const double baseline = 40 + g.ops().back().ascent;
    // A little above the body text's baseline, as a script of their size would be.
    const double raised = 0.21 * TH();
    for (const QString& face : {QStringLiteral("Courier New"), QStringLiteral("Times New Roman")}) {
        g.FontName = face;
        e.dsp1(g, x, baseline - raised - g.measure(QStringLiteral("b")).ascent, QStringLiteral("b"));
    }
    g.FontName = QStringLiteral("メイリオ");
    e.dsp(g, x, 40, QStringLiteral(" + 1"));
    EXPECT_EQ(pageText(g), QStringLiteral("a = bb + 1"));
}

TEST(NominalSize, StandInRunsRecordTheSizeOfTheTextAroundThem) {
    for (double italicScale : {1.15, 1.1, 1.4}) {
        RunStyle style;
        style.italicScale = italicScale;
        for (int bookman : {1, -1}) {
            TextRuns e(style);
            e.HasBookman = bookman;
            Surface g(testFonts(), QSize(300, 100));
            g.FontSize = 13;
            double x = 0;
            e.dspItalic(g, x, 0, QStringLiteral("x"));
            e.dspCourier(g, x, 0, QStringLiteral("-"));
            e.sup(g, x, 0, QStringLiteral("n")); // an italic letter at the script's size
            e.dsp(g, x, 0, QStringLiteral("1"));
            ASSERT_EQ(g.ops().size(), 4u);
            const std::vector<DrawOp>& ops = g.ops();
            EXPECT_GT(ops[0].fontSize, 13.0);
            EXPECT_DOUBLE_EQ(ops[0].nominalSize, 13.0) << italicScale << " " << bookman;
            EXPECT_DOUBLE_EQ(ops[1].nominalSize, 13.0);
            EXPECT_DOUBLE_EQ(ops[2].nominalSize, e.SupScale * 13.0);
            EXPECT_DOUBLE_EQ(ops[3].nominalSize, ops[3].fontSize);
        }
    }
    // Marks nest, the innermost applies; after them runs are their own size again.
    Surface g(testFonts(), QSize(300, 100));
    {
        NominalSize outer(g, 10);
        {
            NominalSize inner(g, 8);
            g.Print(QStringLiteral("a"));
        }
        g.Print(QStringLiteral("b"));
    }
    g.Print(QStringLiteral("c"));
    EXPECT_DOUBLE_EQ(g.ops()[0].nominalSize, 8);
    EXPECT_DOUBLE_EQ(g.ops()[1].nominalSize, 10);
    EXPECT_DOUBLE_EQ(g.ops()[2].nominalSize, g.FontSize);
}

TEST(PageText, SpansPointAtTheCellsTheTextWasDrawnIn) {
    Surface g(testFonts(), QSize(400, 200));
    g.FontName = QStringLiteral("メイリオ");
    g.FontSize = 13;
    g.CurrentX = 30;
    g.CurrentY = 50;
    g.Print(QStringLiteral("波動"));
    const PageTextLayout L = pageTextLayout(g);
    ASSERT_EQ(L.text, QStringLiteral("波動"));
    ASSERT_EQ(L.spans.size(), 1u);
    EXPECT_EQ(L.spans[0].start, 0);
    EXPECT_EQ(L.spans[0].length, 2);
    EXPECT_EQ(L.spans[0].cell, QRectF(g.ops().back().a, g.ops().back().cell));
}

namespace {

struct Expected {
    const char* program;
    int page;
    const char* sentence; // Japanese text the page shows
    const char* formula;  // a piece with a Greek letter or an operator
};

} // namespace

TEST(PageText, OnePageOfEveryDocumentReadsAsWritten) {
    Environment quiet;
    quiet.soundSink = [](Sound) {};
    const Expected expected[] = {
        {"tessera", 0, "シュレーディンガー方程式", "i (∂f)/(∂t) = H f(t)"},
        {"quillet", 1, "これがヌメロフの公式である。", "の根 λ_1, λ_2 により"},
        {"brindle", 1, "固有値の反復計算", "δ(x−x_0)"},
        {"oriel", 0, "調和振動子のポテンシャル", "π^(−1/4)B^(−1/2)exp[−((x−A)^2)/(2B^2)]"},
        {"calyx", 2, "ハートリー近似", "[ −1/2∇^2 −Z/r + φ(r)]φ(r) = εφ(r)"},
        // Radicals over what their overline covers, fractions inside and around them,
        // small fractions beside a bar drawn with characters, scripts of close lines.
        {"oriel", 0, "波束の中心は単振動", "b(t) = 1/α √((Bα)^2cos^2ωt + (sin^2ωt)/((Bα)^2)) [4]"},
        {"calyx", 0, "変分法", "φ(r) = √((a^3)/π)e^(−ar) = 1/(√(4π))√(4a^3)e^(−ar)"},
        {"quillet", 2, "２次方程式の解は", "λ ＝ (1+5/12h^2±h√(1+1/6h^2))/(1 − 1/12h^2)"},
        {"quillet", 2, "２次方程式の解は", "±h (1+(h^2)/6+(h^4)/96) +O(h^6)"},
        {"tessera", 1, "ハミルトニアン", "(g_(k+1)^n − 2 g_k^n + g_(k−1)^n)/((⊿x)^2) + V_k g_k^n [9]"},
    };
    const auto makers = course::testing::documentMakers();
    for (const Expected& x : expected) {
        auto maker = std::find_if(makers.begin(), makers.end(),
                                  [&](const auto& m) { return std::string(m.name) == x.program; });
        ASSERT_NE(maker, makers.end());
        auto doc = maker->make();
        doc->useEnvironment(quiet);
        Form1 w(*doc, testFonts());
        w.Form_Load(false);
        const QString text = pageText(w.page(x.page));
        EXPECT_TRUE(text.contains(QString::fromUtf8(x.sentence))) << x.program << "\n" << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(x.formula))) << x.program << "\n" << text.toStdString();
        // Nothing from the private-use area, no graphical pieces, no empty first line.
        for (QChar c : text)
            EXPECT_FALSE((c.unicode() >= 0xF000 && c.unicode() <= 0xF0FF) ||
                         (c.unicode() >= 0x239C && c.unicode() <= 0x23AD))
                << x.program << ": U+" << std::hex << int(c.unicode());
        EXPECT_FALSE(text.startsWith(u'\n'));
        QFile f(course::testing::outputDir() + QStringLiteral("/%1-page%2.txt").arg(x.program).arg(x.page));
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }
}
