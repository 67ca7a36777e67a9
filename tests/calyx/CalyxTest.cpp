// SPDX-License-Identifier: GPL-3.0-or-later
// calyx: its window settings, the four pages as shown and as printed, the equation
// tags, its own glyphs, closing, and the exported PDF's text.

#include "CalyxDocument.h"
#include "LineTop.h"
#include "TestFonts.h"

#include <engine/shell/EventPump.h>
#include <engine/textruns/FontTable.h>
#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include <engine/shell/PageExport.h>
#include "WindowFixture.h"
#include "RunLog.h"

#include <ProgramRun.h>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

#include <cmath>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

const QString kBody = QStringLiteral("メイリオ");

// Drawing operations without the clearing that starts every page.
std::vector<DrawOp> drawn(const Surface& g) {
    std::vector<DrawOp> out;
    for (const DrawOp& op : g.ops())
        if (op.kind != DrawOp::Kind::Clear)
            out.push_back(op);
    return out;
}

// The index of the first text run equal to `text` at or after `from`, or -1.
int findText(const std::vector<DrawOp>& ops, const QString& text, size_t from = 0) {
    for (size_t i = from; i < ops.size(); ++i)
        if (ops[i].kind == DrawOp::Kind::Text && ops[i].text == text)
            return int(i);
    return -1;
}

struct Calyx : course::testing::WindowFixture<calyx::CalyxDocument> {
    void SetUp() override { open(std::make_unique<calyx::CalyxDocument>()); }

    // Page k as printing draws it, onto `target` (a canvas in the print canvas's font),
    // with the screen's left margin so that only the vertical shift differs.
    void drawPrinted(int k, Surface& target) {
        target.FontName = kBody;
        target.FontSize = 12;
        doc->Printing = 1;
        doc->drawPageOn(target, k);
        doc->Printing = 0;
    }

    // A blank surface in the page font for drawing single glyphs.
    Surface& scratch() {
        glyphs.FontName = kBody;
        glyphs.FontSize = 13;
        glyphs.Cls();
        on.emplace(*doc, glyphs);
        doc->CurX = 100;
        doc->CurY = 200;
        return glyphs;
    }
    Surface glyphs{testFonts()};
    std::optional<course::DrawingScope> on; // drawing on glyphs, after scratch()
    void TearDown() override {
        on.reset();
        WindowFixture::TearDown();
    }
};

} // namespace

TEST_F(Calyx, OpensWithFourPagesAndTheDocumentColumns) {
    ASSERT_EQ(w->pageCount(), 4);
    EXPECT_EQ(w->windowTitle(), calyx::programTitle());
    EXPECT_DOUBLE_EQ(w->page(0).FontSize, 13);
    EXPECT_EQ(doc->Indent0, nint(2 * doc->CharW + doc->LeftMargin));
    EXPECT_EQ(doc->TagCol, nint(50 * doc->CharW + doc->LeftMargin));
    EXPECT_TRUE(w->form2Exists()); // the print canvas is loaded at start-up
    for (int k = 0; k < 4; ++k)
        EXPECT_GT(drawn(w->page(k)).size(), 40u) << "page " << k;
    // Key set B with Home and End.
    w->Form_KeyDown(key::End);
    EXPECT_EQ(doc->CurPic, 3);
    EXPECT_FALSE(w->goLabel()->isVisibleTo(w.get()));
    w->Form_KeyDown(key::Home);
    EXPECT_EQ(doc->CurPic, 0);
    EXPECT_EQ(calyx::makeDocument()->settings().pages, 4);
}

TEST_F(Calyx, EveryPageHasItsGlyphsAndStaysOnTheVisiblePage) {
    const QSize visible = w->visiblePageSize();
    for (int k = 0; k < 4; ++k) {
        Surface printed(testFonts(), w->Form2().size());
        drawPrinted(k, printed);
        for (const Surface* g :
             {static_cast<const Surface*>(&w->page(k)), static_cast<const Surface*>(&printed)}) {
            const bool screen = g == &w->page(k);
            const QSize area = screen ? visible : printed.size();
            EXPECT_EQ(missingCharacters(*g).toStdString(), "") << "page " << k << (screen ? "" : " printed");
            for (const DrawOp& op : drawn(*g)) {
                const QPointF end =
                    op.kind == DrawOp::Kind::Line ? op.b : op.a + QPointF(op.cell.width(), op.cell.height());
                EXPECT_GE(op.a.y(), -12) << "page " << k << " '" << op.text.toStdString() << "'";
                EXPECT_LE(end.x(), area.width()) << "page " << k << " '" << op.text.toStdString() << "'";
                EXPECT_LE(end.y(), area.height()) << "page " << k << " '" << op.text.toStdString() << "'";
            }
        }
    }
}

TEST_F(Calyx, PrintingPagesOneToThreeDrawsTheScreenPictureOneLineLower) {
    for (int k = 1; k < 4; ++k) {
        Surface printed(testFonts(), w->Form2().size());
        drawPrinted(k, printed);
        const auto a = drawn(w->page(k));
        const auto b = drawn(printed);
        ASSERT_EQ(a.size(), b.size()) << "page " << k;
        for (size_t i = 0; i < a.size(); ++i) {
            SCOPED_TRACE(::testing::Message()
                         << "page " << k << " op " << i << " '" << a[i].text.toStdString() << "'");
            EXPECT_EQ(a[i].kind, b[i].kind);
            EXPECT_EQ(a[i].text, b[i].text);
            EXPECT_EQ(a[i].fontName, b[i].fontName);
            EXPECT_DOUBLE_EQ(a[i].fontSize, b[i].fontSize); // not the canvas's own size
            EXPECT_DOUBLE_EQ(a[i].a.x(), b[i].a.x());
            EXPECT_NEAR(a[i].a.y() + doc->CharH, b[i].a.y(), 1.0); // device text is whole pixels
            if (a[i].kind == DrawOp::Kind::Line) {
                // Thin rules lie on whole pixel rows of each page.
                EXPECT_NEAR(a[i].b.y() + doc->CharH, b[i].b.y(), 1.0);
            }
        }
    }
}

TEST_F(Calyx, PrintedFirstPageStartsWithTheTitle) {
    EXPECT_FALSE(joined(w->page(0)).contains(calyx::programTitle()));
    Surface printed(testFonts(), w->Form2().size());
    drawPrinted(0, printed);
    const auto a = drawn(w->page(0));
    const auto b = drawn(printed);
    ASSERT_EQ(b.size(), a.size() + 1);
    EXPECT_EQ(b[0].text, calyx::programTitle());
    EXPECT_DOUBLE_EQ(b[0].a.x(), 15 * doc->CharW);
    EXPECT_DOUBLE_EQ(b[0].a.y(), doc->CharH);
    EXPECT_DOUBLE_EQ(b[0].fontSize, 16);
    // The page itself (always one line down on page 0) follows half a line lower still.
    EXPECT_DOUBLE_EQ(a[0].a.y(), doc->CharH);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i + 1].text);
        // A radical sign is sized to its radicand on each page's own pixels.
        if (a[i].constructKind == course::ConstructKind::Radical)
            EXPECT_NEAR(a[i].fontSize, b[i + 1].fontSize, 0.02 * a[i].fontSize);
        else
            EXPECT_DOUBLE_EQ(a[i].fontSize, b[i + 1].fontSize);
        EXPECT_NEAR(a[i].a.y() + 1.5 * doc->CharH, b[i + 1].a.y(), 1.0);
    }
}

TEST_F(Calyx, PrintLabelRedrawsTheCurrentPageOnTheCanvas) {
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Down);
    ASSERT_EQ(doc->CurPic, 2);
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    const auto a = drawn(w->page(2));
    const auto b = drawn(w->Form2());
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_DOUBLE_EQ(a[i].fontSize, b[i].fontSize);
        EXPECT_NEAR(a[i].a.y() + doc->CharH, b[i].a.y(), 1.0);
    }
    // The running text moved to the narrower print margin; the heading column did not.
    const int para = findText(b, QStringLiteral("変分法では軌道 ").prepend(QChar(0x3000)));
    ASSERT_GE(para, 0);
    EXPECT_DOUBLE_EQ(b[para].a.x(), nint(doc->CharW));
    EXPECT_DOUBLE_EQ(b[0].a.x(), doc->Indent0);
}

TEST_F(Calyx, TagsStandInOneColumnOnTheLinesOfTheirFormulas) {
    const auto ops = drawn(w->page(3));
    const int a = findText(ops, QStringLiteral("[A]"));
    const int b = findText(ops, QStringLiteral("[B]"));
    const int c = findText(ops, QStringLiteral("[C]"));
    ASSERT_TRUE(a >= 0 && b > a && c > b);
    for (int t : {a, b, c})
        EXPECT_DOUBLE_EQ(ops[t].a.x(), doc->TagCol);
    // [A]: the equation opens with its minus sign on the tag's line.
    EXPECT_EQ(ops[a + 1].text, QStringLiteral("−"));
    EXPECT_DOUBLE_EQ(ops[a + 1].a.y(), ops[a].a.y());
    // [B]: the continued equation starts with "= " on the tag's line, under the "="
    // of the line before.
    EXPECT_EQ(ops[b + 1].text, QStringLiteral("= "));
    EXPECT_DOUBLE_EQ(ops[b + 1].a.y(), ops[b].a.y());
    int eqBefore = b - 1;
    while (eqBefore > a && ops[eqBefore].text != QStringLiteral("  =  "))
        --eqBefore;
    ASSERT_GT(eqBefore, a);
    EXPECT_NEAR(right(ops[b + 1]), right(ops[eqBefore]), 1e-6);
    // [C]: the normalisation ends with "= 1" on the tag's line.
    const int one = findText(ops, QStringLiteral(" = 1"), c);
    ASSERT_GT(one, c);
    EXPECT_DOUBLE_EQ(ops[one].a.y(), ops[c].a.y());
    // The tags follow each other down the page.
    EXPECT_LT(ops[a].a.y(), ops[b].a.y());
    EXPECT_LT(ops[b].a.y(), ops[c].a.y());
}

TEST_F(Calyx, ClosingUnloadsTheCanvasAndLetsTheWindowClose) {
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(w->form2Exists());
    EXPECT_FALSE(w->isVisible());
    // Escape still ends the program at once.
    w->Form_KeyDown(key::Escape);
    EXPECT_EQ(ends, 1);
}

TEST_F(Calyx, LaplacianHasItsSubscriptThenItsSquare) {
    scratch();
    doc->Laplacian(QStringLiteral("1"));
    const auto r = texts(glyphs);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].text, sym(209));
    EXPECT_EQ(r[0].fontName, QStringLiteral("Symbol"));
    EXPECT_EQ(r[1].text, QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) - 2);
    EXPECT_GT(r[1].a.y(), 200);
    EXPECT_EQ(r[2].text, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(r[2].a.x(), right(r[1]) + 2);
    EXPECT_LT(r[2].a.y(), 200);
    EXPECT_DOUBLE_EQ(doc->CurX, right(r[2]) + 2);
}

TEST_F(Calyx, BoldVectorsAndVolumeElements) {
    scratch();
    doc->diBold(QStringLiteral("r"));
    auto r = texts(glyphs);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_TRUE(r[0].bold);
    EXPECT_TRUE(r[0].italic);
    EXPECT_DOUBLE_EQ(lineTop(r[0]), 200);
    EXPECT_DOUBLE_EQ(doc->CurX, right(r[0]) + 2);
    EXPECT_FALSE(glyphs.FontBold);

    // The d and the bold letter stand on the line's baseline.
    scratch();
    doc->ddr();
    r = texts(glyphs);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].text, QStringLiteral("d"));
    EXPECT_EQ(r[0].fontName, QStringLiteral("Courier New"));
    EXPECT_DOUBLE_EQ(lineTop(r[0]), 200);
    EXPECT_TRUE(r[1].bold);
    EXPECT_DOUBLE_EQ(lineTop(r[1]), 200);

    scratch();
    doc->dr();
    r = texts(glyphs);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(lineTop(r[0]), 200);
    EXPECT_EQ(r[1].text, QStringLiteral("r"));
    EXPECT_FALSE(r[1].bold);
    EXPECT_DOUBLE_EQ(r[1].a.x(), right(r[0]) + 1); // dspD's one pixel
}

TEST_F(Calyx, ColBraceStacksFivePiecesAtOneX) {
    for (int index : {0, 1}) {
        scratch();
        doc->ColBrace(index, 150.4, 300, 0.5);
        const auto r = texts(glyphs);
        ASSERT_EQ(r.size(), 5u);
        const int s = 16 * index;
        const int codes[5] = {236 + s, 239, 237 + s, 239, 238 + s};
        const double steps[5] = {-2, -1, 0, 1, 2};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(r[i].text, sym(codes[i])) << i;
            EXPECT_EQ(r[i].fontName, QStringLiteral("Symbol"));
            EXPECT_DOUBLE_EQ(r[i].a.x(), 150);
            EXPECT_DOUBLE_EQ(r[i].a.y(), nint(300 + steps[i] * 0.5 * doc->CharH));
        }
        EXPECT_EQ(glyphs.FontName, kBody);
        EXPECT_DOUBLE_EQ(doc->CurX, 100);
    }
}

TEST_F(Calyx, VariationalNumbersAndFractionScales) {
    const auto ops = drawn(w->page(0));
    const QString all = joined(w->page(0));
    for (const char* s : {"1.6875", "−2.84766", "27", "16", "hartree"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(s))) << s;
    // 5/16 and 27/16 are set at 0.8 of the page font, digit by digit; nothing else is.
    QString small;
    for (const DrawOp& op : ops)
        if (op.kind == DrawOp::Kind::Text && std::abs(op.fontSize - 0.8 * 13) < 1e-9)
            small += op.text;
    EXPECT_EQ(small, QStringLiteral("5162716"));
    // The halves of the Hamiltonian are at 0.9.
    const int h = findText(ops, QStringLiteral("H"));
    ASSERT_GE(h, 0);
    const int half = findText(ops, QStringLiteral("1"), h);
    ASSERT_GT(half, h);
    EXPECT_NEAR(ops[half].fontSize, 0.9 * 13, 1e-9);
}

TEST_F(Calyx, FractionsAndLimitsKeepAPixelOfWhiteFromTheirBarsAndSigns) {
    const auto ops = drawn(w->page(1));
    // The Coulomb factor's bar (a stroke as long as four rules or more) reaches past
    // its numerator on both lines.
    Surface probe{testFonts()};
    probe.FontSize = w->page(1).FontSize;
    const double fourRules = 3.5 * probe.TextWidth(QString(QChar(0x2500)));
    int bars = 0;
    for (size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].kind != DrawOp::Kind::Line || ops[i].a.y() != ops[i].b.y() ||
            ops[i].b.x() - ops[i].a.x() < fourRules || ops[i].color != 0)
            continue;
        ++bars;
        const QRectF bar = inkBounds(ops[i]);
        // The parts are drawn just before their bar, from inside its extent.
        for (size_t j = i; j-- > 0 && ops[j].a.x() >= ops[i].a.x() - 1;) {
            const QRectF part = inkBounds(ops[j]);
            EXPECT_GE(part.left(), bar.left()) << ops[j].text.toStdString();
            EXPECT_LE(part.right(), bar.right()) << ops[j].text.toStdString();
            EXPECT_TRUE(part.bottom() + 1 <= bar.top() || part.top() >= bar.bottom() + 1)
                << ops[j].text.toStdString();
        }
    }
    EXPECT_EQ(bars, 2);
    // The upper limit l of the second sum clears the sign.
    const int sigma = findText(ops, QStringLiteral("∑"), size_t(findText(ops, QStringLiteral("∑")) + 1));
    ASSERT_GT(sigma, 0);
    const int l = findText(ops, QStringLiteral("l"), size_t(sigma));
    ASSERT_GT(l, sigma);
    EXPECT_LE(inkBounds(ops[l]).bottom() + 1, inkBounds(ops[sigma]).top() + 1e-9);
}

TEST_F(Calyx, CaseRelationsStandOnTheBaselineOfTheirVariables) {
    const auto ops = drawn(w->page(1));
    for (const char* sign : {">", "<"}) {
        // The relation of a case line (the subscripts r_> and r_< come before).
        int i = -1;
        for (size_t k = 0; k < ops.size() && i < 0; ++k)
            if (ops[k].text == QString::fromLatin1(sign) &&
                ops[k].fontName == QStringLiteral("Times New Roman"))
                i = int(k);
        ASSERT_GT(i, 0) << sign;
        const DrawOp& rel = ops[i];
        const DrawOp& r = ops[size_t(i) + 2]; // after the blank
        EXPECT_EQ(r.text, QStringLiteral("r")) << sign;
        EXPECT_NEAR(rel.a.y() + rel.ascent, r.a.y() + r.ascent, 1e-9) << sign;
        // As tall as the letter's x-height, not a small raised mark.
        EXPECT_GT(inkBounds(rel).height(), 0.8 * inkBounds(r).height()) << sign;
    }
}

TEST_F(Calyx, ExportedPdfGivesBackTheJapaneseText) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("calyx.pdf"));
    ASSERT_TRUE(exportPdf(*w, pdf).ok);
    ASSERT_TRUE(exportPng(*w, dir.path()).ok);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("page-3@2x.png"))));
    const std::optional<QString> read = course::test::pdfText(pdf);
    if (!read)
        GTEST_SKIP() << "pdftotext is not installed or cannot read the file";
    const QString& text = *read;
    EXPECT_EQ(text.count(QChar(u'\f')), 4);
    for (const char* s :
         {"ヘリウム原子", "変分法", "電子間クーロン相互作用", "ハートリー方程式", "反復計算の手続き",
          "多重極展開", "別のプログラム", "79.02", "2.904", "1.6875", "ハートリー-フォック方程式"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
}
