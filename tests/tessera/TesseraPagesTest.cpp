// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of tessera: glyphs, tags in one column, headings, the 11-point matrix
// block of page 2 and what it must leave behind, and the glyph operations.

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include "RecordingSink.h"
#include "RunLog.h"
#include "TesseraDocument.h"
#include "TestFonts.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

struct Pages : ::testing::Test {
    std::unique_ptr<Document> owner = tessera::makeDocument();
    tessera::TesseraDocument& doc = static_cast<tessera::TesseraDocument&>(*owner);
    std::unique_ptr<Form1> w;

    void SetUp() override {
        doc.env().endHook = [] {};
        w = std::make_unique<Form1>(doc, testFonts());
        w->setPrintSink(std::make_unique<RecordingSink>());
        w->Form_Load(false);
    }
    void TearDown() override { w.reset(); }
    // Tags such as "[1]" … "[10]" and "[８]" with the x they are drawn at.
    static std::map<QString, double> tags(const Surface& g) {
        static const QRegularExpression tagText(QStringLiteral("^\\[([0-9]+|８)\\]$"));
        std::map<QString, double> out;
        for (const DrawOp& op : texts(g))
            if (tagText.match(op.text).hasMatch())
                out[op.text] = op.a.x();
        return out;
    }
};

// Text cells that leave the area (the shown part of a page, or the print canvas).
QStringList outside(const Surface& g, QSize area) {
    QStringList bad;
    for (const DrawOp& op : texts(g)) {
        const double right = op.a.x() + op.cell.width();
        const double bottom = op.a.y() + op.cell.height();
        if (op.a.x() < 0 || right > area.width() || op.a.y() < -op.cell.height() / 2 ||
            bottom > area.height())
            bad << QStringLiteral("\"%1\" at (%2, %3)").arg(op.text).arg(op.a.x()).arg(op.a.y());
    }
    return bad;
}

} // namespace

TEST_F(Pages, EveryPageHasItsGlyphsAndStaysInTheWindowOnScreenAndInPrint) {
    for (int k = 0; k < 3; ++k) {
        const Surface& g = w->page(k);
        EXPECT_GT(texts(g).size(), 40u) << "page " << k;
        EXPECT_EQ(missingCharacters(g).toStdString(), "") << "page " << k;
        EXPECT_EQ(outside(g, w->visiblePageSize()).join(QStringLiteral("; ")).toStdString(), "")
            << "page " << k;
    }
    for (int k = 0; k < 3; ++k) {
        doc.CurPic = k;
        w->cmdPrint_Click();
        const Surface& canvas = w->Form2();
        EXPECT_EQ(missingCharacters(canvas).toStdString(), "") << "printed page " << k;
        EXPECT_EQ(outside(canvas, canvas.size()).join(QStringLiteral("; ")).toStdString(), "")
            << "printed page " << k;
    }
}

TEST_F(Pages, TheHamiltonianIsAnOperatorAndEveryFactorOfTheBackSubstitutionIsDefined) {
    // [1]: H = −½ ∂²/∂x² + V(x), with no f under the second derivative.
    const QString first = joined(w->page(0));
    const qsizetype from = first.indexOf(QStringLiteral("  =  − "));
    ASSERT_GE(from, 0);
    EXPECT_EQ(first.mid(from, first.indexOf(QStringLiteral("  +  "), from) - from),
              QStringLiteral("  =  − ―12∂2∂x2"));
    // The first column ends with u₄ = 1/d₄, which g₄ = x₄/d₄ = u₄x₄ uses.
    const QString third = joined(w->page(2));
    EXPECT_TRUE(third.contains(QStringLiteral("d4 = a4−u3 ， u4 = 1/d4"))) << third.toStdString();
    EXPECT_TRUE(third.contains(QStringLiteral("g4 = x4/d4 = u4x4")));
}

TEST_F(Pages, TagsOfAllPagesShareTheColumnPageZeroSets) {
    const double col = nint(55 * doc.CharW);
    const std::vector<std::vector<QString>> expected = {
        {QStringLiteral("[1]"), QStringLiteral("[2]"), QStringLiteral("[3]"), QStringLiteral("[4]")},
        {QStringLiteral("[5]"), QStringLiteral("[6]"), QStringLiteral("[7]"), QStringLiteral("[８]"),
         QStringLiteral("[9]")},
        {QStringLiteral("[10]")},
    };
    for (int k = 0; k < 3; ++k) {
        const auto found = tags(w->page(k));
        EXPECT_EQ(found.size(), expected[k].size()) << "page " << k;
        for (const QString& t : expected[k]) {
            ASSERT_TRUE(found.count(t)) << t.toStdString() << " missing on page " << k;
            EXPECT_DOUBLE_EQ(found.at(t), col) << t.toStdString();
        }
    }
    // 55 characters from the page edge, not from the margin as the shell first set it.
    EXPECT_NE(col, nint(55 * doc.CharW + doc.LeftMargin));
}

TEST_F(Pages, HeadingsAreBlueAndTheTextAfterThemIsNot) {
    const QStringList headings = {
        QStringLiteral("(1) 概 要"),
        QStringLiteral("(2) 時間微分を差分により近似する."),
        QStringLiteral("(3) "),
        QStringLiteral(" を求める."),
        QStringLiteral("(4) 空間微分を差分により近似する."),
        QStringLiteral("(5) 連立１次方程式."),
        QStringLiteral("(6) 連立１次方程式を解く (改訂コレスキー法)."),
    };
    int seen = 0;
    for (int k = 0; k < 3; ++k) {
        const auto ops = texts(w->page(k));
        for (size_t i = 0; i < ops.size(); ++i) {
            if (!headings.contains(ops[i].text))
                continue;
            ++seen;
            EXPECT_EQ(ops[i].color, doc.Blue) << ops[i].text.toStdString();
            // The run after a heading (its next body text) is in the text colour.
            if (ops[i].text != QStringLiteral("(3) ")) {
                ASSERT_LT(i + 1, ops.size());
                EXPECT_EQ(ops[i + 1].color, doc.MyColor[0]) << "after " << ops[i].text.toStdString();
            }
        }
    }
    EXPECT_EQ(seen, headings.size());
    // The piecewise heading of page 1 draws its fⁿ and fⁿ⁺¹ in blue as well.
    const auto ops1 = texts(w->page(1));
    ASSERT_GE(ops1.size(), 4u);
    EXPECT_EQ(ops1[1].text, QStringLiteral("f"));
    EXPECT_EQ(ops1[1].color, doc.Blue);
}

TEST_F(Pages, TitleOnlyOnThePrintedFirstPage) {
    EXPECT_FALSE(joined(w->page(0)).contains(tessera::title()));
    doc.CurPic = 0;
    w->cmdPrint_Click();
    const auto ops = texts(w->Form2());
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0].text, tessera::title());
    EXPECT_EQ(ops[1].text, QStringLiteral("(1) 概 要"));
    EXPECT_DOUBLE_EQ(ops[1].a.y(), doc.CharH + 1.5 * doc.CharH);
}

TEST_F(Pages, MatricesOfPageTwoAreLaidOutInElevenPoints) {
    Surface probe{testFonts()};
    probe.FontSize = 11;
    const double cw = probe.TextWidth(QStringLiteral("A"));
    const double ch = probe.TextHeight(QStringLiteral("A"));
    const Surface& g = w->page(2);

    // Each bracket pair: left stem 5 px right of the origin, right stem at 10w + 5,
    // both 4 lines long (to the pixel: their corners lie on whole pixels).
    std::vector<double> leftStems, rightStems;
    double stemTop = -1;
    for (const DrawOp& op : lines(g)) {
        if (op.a.x() != op.b.x() || std::abs(op.b.y() - op.a.y() - 4 * ch) > 1)
            continue;
        stemTop = op.a.y();
        (leftStems.size() == rightStems.size() ? leftStems : rightStems).push_back(op.a.x());
    }
    ASSERT_EQ(leftStems.size(), 4u);
    ASSERT_EQ(rightStems.size(), 4u);
    const double origins[] = {10, 26, 38, 50};
    for (int m = 0; m < 4; ++m) {
        EXPECT_NEAR(leftStems[m] - 5, origins[m] * cw, 1.5) << "matrix " << m;
        // Each stem on the whole pixel column nearest its place.
        EXPECT_NEAR(rightStems[m] - 10 * cw - 8, leftStems[m] - 5, 0.5) << "matrix " << m;
    }

    // Entries: four rows of one 11-point line each, starting one line below Ybase,
    // which is the top of the stems (on its whole pixel row) minus one line.
    const double ybase = stemTop - ch;
    std::map<QString, std::vector<DrawOp>> entries;
    for (const DrawOp& op : texts(g))
        if (op.a.y() >= ybase + ch - 0.5 && op.a.y() < ybase + 5 * ch && op.a.x() < leftStems[3] + 10 * cw)
            entries[op.text].push_back(op);
    // a₁…a₄ in A, u₁…u₃ in L and in U, d₁…d₄ in D; fourteen entries "1" (six in A,
    // four each in L and U) besides the subscripts.
    EXPECT_EQ(entries[QStringLiteral("a")].size(), 4u);
    EXPECT_EQ(entries[QStringLiteral("u")].size(), 6u);
    EXPECT_EQ(entries[QStringLiteral("d")].size(), 4u);
    EXPECT_EQ(std::count_if(entries[QStringLiteral("1")].begin(), entries[QStringLiteral("1")].end(),
                            [](const DrawOp& op) { return op.fontSize == 11; }),
              14);
    for (const QString& letter : {QStringLiteral("a"), QStringLiteral("u"), QStringLiteral("d")}) {
        for (const DrawOp& op : entries[letter]) {
            const double row = (op.a.y() - ybase) / ch;
            EXPECT_NEAR(row, std::round(row), 0.5 / ch) << letter.toStdString();
            EXPECT_GE(std::round(row), 1);
            EXPECT_LE(std::round(row), 4);
            EXPECT_DOUBLE_EQ(op.fontSize, 11 * 1.15);
        }
    }
    // The diagonal of A: a_r in row r at column r.
    for (const DrawOp& op : entries[QStringLiteral("a")]) {
        const double row = std::round((op.a.y() - ybase) / ch);
        EXPECT_NEAR(op.a.x(), leftStems[0] - 5 + 2 * cw * row, 1e-6);
    }
    // "＝" between A and L, half way down.
    double eqY = -1;
    for (const DrawOp& op : texts(g))
        if (op.text == QStringLiteral("＝") && op.fontSize == 11)
            eqY = op.a.y();
    EXPECT_NEAR(eqY, ybase + 2.5 * ch, 0.5);
}

TEST_F(Pages, MatrixPageGivesBackTheScreenMetrics) {
    Surface& g = w->page(2);
    const double cw = doc.CharW, ch = doc.CharH;
    const int margin = doc.LeftMargin;
    doc.drawPageOn(g, 2);
    EXPECT_DOUBLE_EQ(doc.CharW, cw);
    EXPECT_DOUBLE_EQ(doc.CharH, ch);
    EXPECT_EQ(doc.LeftMargin, margin);
    EXPECT_DOUBLE_EQ(g.FontSize, 13);
    // Drawn again, the page is the same as at start-up.
    const size_t before = g.ops().size();
    doc.drawPageOn(g, 2);
    EXPECT_EQ(g.ops().size(), before);
}

TEST_F(Pages, DxSqOverDtEndsInsideItsBar) {
    Surface g(testFonts(), QSize(400, 120));
    g.FontSize = 13;
    g.Cls();
    course::DrawingScope on(doc, g);
    doc.CurX = 50;
    doc.CurY = 40;
    doc.DxSqOverDt();
    const auto bars = lines(g);
    ASSERT_EQ(bars.size(), 1u);
    const DrawOp& bar = bars[0];
    EXPECT_DOUBLE_EQ(bar.a.x(), 50 + doc.CharW);
    EXPECT_DOUBLE_EQ(bar.b.x() - bar.a.x(), tessera::TesseraDocument::kDxSqBar * doc.CharW);
    EXPECT_DOUBLE_EQ(bar.a.y(), std::round(40 + 0.5 * doc.CharH)); // on the nearest row of pixels
    EXPECT_DOUBLE_EQ(doc.CurY, 40);
    // The cursor stops after the numerator, which starts half a character into the bar
    // and ends before the bar does: the next symbol begins under the bar's span.
    const auto ops = texts(g);
    ASSERT_GE(ops.size(), 5u);
    EXPECT_EQ(ops[0].text, QStringLiteral("⊿")); // denominator Δt
    EXPECT_DOUBLE_EQ(ops[0].a.x(), bar.a.x() + 1.6 * doc.CharW);
    EXPECT_DOUBLE_EQ(ops[0].a.y(), 40 + 0.5 * doc.CharH);
    EXPECT_EQ(ops[2].text, QStringLiteral("(")); // numerator (Δx)²
    EXPECT_DOUBLE_EQ(ops[2].a.x(), bar.a.x() + 0.5 * doc.CharW);
    EXPECT_LT(ops[2].a.y() + ops[2].cell.height(), bar.a.y() + 0.5 * doc.CharH);
    EXPECT_EQ(ops.back().text, QStringLiteral("2"));
    EXPECT_GT(doc.CurX, bar.a.x());
    EXPECT_LE(doc.CurX, bar.b.x());
}

TEST_F(Pages, DifferenceGlyphs) {
    Surface g(testFonts(), QSize(400, 80));
    g.FontSize = 13;
    g.Cls();
    course::DrawingScope on(doc, g);
    doc.CurX = 10;
    doc.DeltaXSq(20);
    doc.DeltaTPar(20);
    const auto ops = texts(g);
    QStringList seq;
    for (const DrawOp& op : ops)
        seq << op.text;
    EXPECT_EQ(seq.join(QLatin1Char('|')), QStringLiteral("(|⊿|x|)|2|(|⊿|t|)"));
    // Δx keeps 2 px before ⊿, 1 px before x and 2 px after it; Δt keeps 2 px before t.
    EXPECT_DOUBLE_EQ(ops[1].a.x(), ops[0].a.x() + ops[0].cell.width() + 2);
    EXPECT_DOUBLE_EQ(ops[2].a.x(), ops[1].a.x() + ops[1].cell.width() + 1);
    EXPECT_DOUBLE_EQ(ops[3].a.x(), ops[2].a.x() + ops[2].cell.width() + 2);
    EXPECT_DOUBLE_EQ(ops[7].a.x(), ops[6].a.x() + ops[6].cell.width() + 2);
    EXPECT_TRUE(ops[2].italic);
    EXPECT_LT(ops[4].fontSize, 13); // the square is a small 2
    EXPECT_DOUBLE_EQ(doc.CurX, ops[8].a.x() + ops[8].cell.width());
}
