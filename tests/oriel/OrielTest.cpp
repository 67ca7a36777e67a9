// SPDX-License-Identifier: GPL-3.0-or-later
// oriel in its window on the offscreen platform: start-up with the title box, key set
// C, the tag column set by page 0, the printed title line, pages free of missing
// glyphs and inside the visible page, and the document's glyphs and formula helpers.

#include "OrielDocument.h"
#include "TestFonts.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include <engine/shell/PageExport.h>
#include "WindowFixture.h"
#include "RunLog.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "TestOutput.h"

#include <gtest/gtest.h>

#include <optional>

#include <cmath>

using course::testing::testFonts;
using namespace course;
using namespace course::testing;

namespace {

QString outDir() { return course::testing::outputDir(); }

// The first text run that is exactly `s`, or nullptr.
const DrawOp* findText(const Surface& g, const QString& s) {
    for (const DrawOp& op : g.ops())
        if (op.kind == DrawOp::Kind::Text && op.text == s)
            return &op;
    return nullptr;
}

struct Oriel : course::testing::WindowFixture<oriel::OrielDocument> {
    void SetUp() override { open(std::make_unique<oriel::OrielDocument>()); }
    // Everything drawn on g lies inside width × height (text cells and lines).
    static void expectInside(const Surface& g, QSize size, const char* what) {
        for (const DrawOp& op : g.ops()) {
            if (op.kind == DrawOp::Kind::Text) {
                EXPECT_GE(op.a.x(), 0) << what << " " << op.text.toStdString();
                // Faces set on the line's baseline may have their cell's top above
                // the page; their ink stays on it.
                EXPECT_GE(inkBounds(op).top(), 0) << what << " " << op.text.toStdString();
                EXPECT_LE(op.a.x() + op.cell.width(), size.width()) << what << " " << op.text.toStdString();
                EXPECT_LE(op.a.y() + op.cell.height(), size.height()) << what << " " << op.text.toStdString();
            } else if (op.kind == DrawOp::Kind::Line) {
                EXPECT_LE(std::max(op.a.x(), op.b.x()), size.width()) << what;
                EXPECT_LE(std::max(op.a.y(), op.b.y()), size.height()) << what;
            }
        }
    }
};

} // namespace

TEST_F(Oriel, StartUpDrawsTheTitleBoxAndThreePagesInItsOwnWindow) {
    EXPECT_EQ(w->size(), QSize(12240 / 15, 11010 / 15));
    EXPECT_EQ(w->pageCount(), 3);
    EXPECT_EQ(w->pageView(0)->geometry(), QRect(10, 56, 800, 673));
    Surface* title = w->titleBox();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->size(), QSize(396, 46));
    const DrawOp* t = findText(*title, oriel::title());
    ASSERT_NE(t, nullptr);
    EXPECT_DOUBLE_EQ(t->fontSize, 16);
    EXPECT_EQ(t->a, QPointF(0, 0));
    EXPECT_LE(t->cell.width(), title->size().width()) << "the title fits its box";
    EXPECT_EQ(missingCharacters(*title), QString());

    EXPECT_DOUBLE_EQ(doc->PageFontSize, 12.75);
    EXPECT_DOUBLE_EQ(w->page(0).FontSize, 12.75);
    EXPECT_EQ(doc->Indent0, nint(2 * doc->CharW + doc->LeftMargin));
    for (int k = 0; k < 3; ++k)
        EXPECT_FALSE(joined(w->page(k)).isEmpty()) << "page " << k;
    // The title appears on the screen pages only in the title box.
    EXPECT_FALSE(joined(w->page(0)).contains(oriel::title()));
}

TEST_F(Oriel, TheHamiltonianOfEquationOneIsAnOperator) {
    // H = −½ ∂²/∂x² + V(x): between "H = −" and "+" only ½ and the operator, no f.
    const auto rightSide = [](const Surface& g) {
        const QString all = joined(g);
        const qsizetype from = all.indexOf(QStringLiteral("  =  − "));
        return from < 0 ? QString() : all.mid(from, all.indexOf(QStringLiteral("  +  "), from) - from);
    };
    EXPECT_EQ(rightSide(w->page(0)), QStringLiteral("  =  − ―12∂2∂x2"));
    doc->CurPic = 0;
    w->cmdPrint_Click();
    EXPECT_EQ(rightSide(w->Form2()), QStringLiteral("  =  − ―12∂2∂x2")) << "printed";
}

TEST_F(Oriel, KeySetCStepsWithArrowsEnterAndBackspaceOnly) {
    // Back on the first page does nothing.
    for (int key : {key::Left, key::Up, key::Backspace})
        w->Form_KeyDown(key);
    EXPECT_EQ(doc->CurPic, 0);
    w->Form_KeyDown(key::Right); // Right
    EXPECT_EQ(doc->CurPic, 1);
    EXPECT_TRUE(w->pageVisible(1));
    EXPECT_FALSE(w->pageVisible(0));
    for (int key : {key::Space, key::Home, key::End, key::F1}) // Space, Home, End, F1 are not in this set
        w->Form_KeyDown(key);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Down); // Down
    EXPECT_EQ(doc->CurPic, 2);
    EXPECT_FALSE(w->goLabel()->isVisibleTo(w.get()));
    w->Form_KeyDown(key::Enter); // Enter on the last page does nothing
    w->cmdGo_Click();
    EXPECT_EQ(doc->CurPic, 2);
    w->Form_KeyDown(key::Left); // Left
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Backspace); // Backspace
    EXPECT_EQ(doc->CurPic, 0);
    EXPECT_FALSE(w->backLabel()->isVisibleTo(w.get()));
    // No KeyBusy guard: a key is handled even while the flag is set.
    doc->KeyBusy = true;
    w->Form_KeyDown(key::Down);
    EXPECT_EQ(doc->CurPic, 1);
    w->Form_KeyDown(key::Up); // Up
    EXPECT_EQ(doc->CurPic, 0);
    EXPECT_EQ(ends, 0);
    w->Form_KeyDown(key::Escape);
    EXPECT_EQ(ends, 1);
}

TEST_F(Oriel, PageZeroSetsTheTagColumnThatPagesOneAndTwoUse) {
    const int col = nint(50 * doc->CharW);
    EXPECT_EQ(doc->TagCol, col);
    EXPECT_NE(col, nint(50 * doc->CharW + doc->LeftMargin)) << "the start-up column is replaced";
    const char* tags[3][8] = {{"[1]", "[2]", "[3]", "[4]"},
                              {"[5]", "[6]", "[7]", "[8]", "[9]", "[10]", "[11]"},
                              {"教科書 (4.31)", "[12]"}};
    for (int k = 0; k < 3; ++k) {
        for (const char* tag : tags[k]) {
            if (!tag)
                break;
            const DrawOp* op = findText(w->page(k), QString::fromUtf8(tag));
            ASSERT_NE(op, nullptr) << tag;
            EXPECT_DOUBLE_EQ(op->a.x(), col) << tag;
        }
    }
    // The tag of the closed form of F stands further right, clear of its formula.
    const Surface& p2 = w->page(2);
    const DrawOp* tag = findText(p2, QStringLiteral("教科書 (4.32)"));
    ASSERT_NE(tag, nullptr);
    EXPECT_GE(tag->a.x(), col + 6 * doc->CharW);
    for (const DrawOp& op : texts(p2)) {
        if (op.text == tag->text || std::abs(op.a.y() - tag->a.y()) > doc->CharH)
            continue;
        if (op.a.x() < tag->a.x()) {
            EXPECT_LE(op.a.x() + op.cell.width(), tag->a.x()) << op.text.toStdString();
        }
    }
}

TEST_F(Oriel, PrintingPageZeroAddsTheTitleLineAndMovesTheContentDown) {
    const Surface& screen = w->page(0);
    const QString heading = QStringLiteral("(1) 概 要.");
    const DrawOp* onScreen = findText(screen, heading);
    ASSERT_NE(onScreen, nullptr);
    EXPECT_DOUBLE_EQ(onScreen->a.y(), 0);

    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    const Surface& canvas = w->Form2();
    const DrawOp* title = findText(canvas, oriel::title());
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->fontSize, 16);
    EXPECT_DOUBLE_EQ(title->a.x(), 15 * doc->CharW);
    EXPECT_DOUBLE_EQ(title->a.y(), doc->CharH);
    const DrawOp* printed = findText(canvas, heading);
    ASSERT_NE(printed, nullptr);
    // The page starts CharH down, and the title line takes 1.5·CharH more.
    EXPECT_NEAR(printed->a.y() - onScreen->a.y(), doc->CharH + 1.5 * doc->CharH, 1e-9);
    EXPECT_DOUBLE_EQ(canvas.FontSize, doc->PageFontSize) << "the font size is set back after the title";
    EXPECT_EQ(doc->TagCol, nint(50 * doc->CharW));
    EXPECT_FALSE(joined(screen).contains(oriel::title()));

    // Page 1 printed: no title, content one line lower than on screen, old drawing gone.
    w->cmdGo_Click();
    w->cmdPrint_Click();
    EXPECT_FALSE(joined(canvas).contains(oriel::title()));
    const DrawOp* tag5 = findText(canvas, QStringLiteral("[5]"));
    const DrawOp* tag5screen = findText(w->page(1), QStringLiteral("[5]"));
    ASSERT_TRUE(tag5 && tag5screen);
    EXPECT_NEAR(tag5->a.y() - tag5screen->a.y(), doc->CharH, 1e-9);
}

TEST_F(Oriel, PagesHaveEveryGlyphAndStayInsideThePageShownAndPrinted) {
    const QSize visible = w->visiblePageSize();
    EXPECT_EQ(visible, QSize(800, 673));
    for (int k = 0; k < 3; ++k) {
        const Surface& g = w->page(k);
        EXPECT_EQ(missingCharacters(g), QString()) << "page " << k;
        expectInside(g, visible, qPrintable(QStringLiteral("page %1").arg(k)));
        renderSurface(g, visible, 1.0).save(outDir() + QStringLiteral("/page-%1.png").arg(k));
    }
    for (int k = 0; k < 3; ++k) {
        while (doc->CurPic != k)
            w->cmdGo_Click();
        w->cmdPrint_Click();
        const Surface& canvas = w->Form2();
        EXPECT_EQ(missingCharacters(canvas), QString()) << "printed page " << k;
        expectInside(canvas, canvas.size(), qPrintable(QStringLiteral("printed page %1").arg(k)));
        renderSurface(canvas, canvas.size(), 1.0).save(outDir() + QStringLiteral("/printed-%1.png").arg(k));
    }
}

TEST_F(Oriel, ExportWritesThreePagesTheTitleBoxAndAPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(exportPng(*w, dir.path()).ok);
    for (const char* name : {"page-0.png", "page-1@2x.png", "page-2.png", "title.png", "title@2x.png"})
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(QString::fromLatin1(name)))) << name;
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("page-3.png"))));
    const QImage title(dir.filePath(QStringLiteral("title@2x.png")));
    EXPECT_EQ(title.size(), QSize(792, 92));
    const QString pdf = dir.filePath(QStringLiteral("oriel.pdf"));
    EXPECT_TRUE(exportPdf(*w, pdf).ok);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

// ---- Glyphs and formula helpers, drawn on a surface of their own ----

struct OrielGlyphs : ::testing::Test {
    std::unique_ptr<Document> owned = oriel::makeDocument();
    oriel::OrielDocument& d = *dynamic_cast<oriel::OrielDocument*>(owned.get());
    Surface g{testFonts(), QSize(800, 200)};
    std::optional<course::DrawingScope> on;

    void SetUp() override {
        d.HasBookman = testFonts().hasFontOrStandIn(QStringLiteral("Bookman Old Style")) ? 1 : -1;
        on.emplace(d, g);
        g.FontSize = 12.75;
        d.PageFontSize = 12.75;
        d.CharW = g.TextWidth(QStringLiteral("A"));
        d.CharH = g.TextHeight(QStringLiteral("A"));
        reset();
    }
    void reset() {
        g.Cls();
        d.CurX = 100;
        d.CurY = 80;
    }
};

TEST_F(OrielGlyphs, EachGlyphDrawsItsFormulaAndLeavesFontAndLineAsFound) {
    struct Case {
        std::function<void()> draw;
        const char* text; // the runs joined, Symbol letters as drawn
    };
    oriel::OrielDocument* o = &d;
    const Case cases[] = {
        {[o] { o->b_of_t(); }, "b(t)"},          {[o] { o->Large_e(); }, "e"},
        {[o] { o->PhaseFactor(); }, "e−iEnt/h"}, {[o] { o->Fxys(); }, "F(x,y,s)"},
        {[o] { o->B_alpha(); }, "Bα"},           {[o] { o->alphaSqOver2(); }, "α22"},
        {[o] { o->cos_omega_t(); }, "cosωt"},    {[o] { o->sin_omega_t(); }, "sinωt"},
        {[o] { o->cos2_omega_t(); }, "cos2ωt"},  {[o] { o->sin2_omega_t(); }, "sin2ωt"},
        {[o] { o->OneAddSsq(); }, "1+s2"},       {[o] { o->OneSubSsq(); }, "1−s2"},
        {[o] { o->ParOneAddSsq(); }, "(1+s2)"},  {[o] { o->ParOneSubSsq(); }, "(1−s2)"},
    };
    for (const Case& c : cases) {
        reset();
        c.draw();
        EXPECT_EQ(joined(g), QString::fromUtf8(c.text));
        EXPECT_DOUBLE_EQ(d.CurY, 80) << c.text;
        EXPECT_DOUBLE_EQ(g.FontSize, 12.75) << c.text;
        EXPECT_FALSE(g.FontItalic) << c.text;
        EXPECT_GT(d.CurX, 100) << c.text;
        EXPECT_EQ(missingCharacters(g), QString()) << c.text;
    }
}

TEST_F(OrielGlyphs, PhaseFactorIsASmallerExponentAboveTheLine) {
    d.PhaseFactor();
    const std::vector<DrawOp> t = texts(g);
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[0].text, QStringLiteral("e"));
    EXPECT_NEAR(t[0].fontSize, 1.2 * 1.1 * 12.75, 1e-9) << "Courier e at 1.1 × the size";
    for (size_t i = 1; i < t.size(); ++i) {
        EXPECT_LT(t[i].fontSize, 12.75 * 1.2 * 0.85 + 1e-9) << t[i].text.toStdString();
        EXPECT_LT(t[i].a.y(), 80) << t[i].text.toStdString() << " is raised";
    }
    // ħ: the stroke through the h's ascender, above the height of an x.
    const std::vector<DrawOp> ls = lines(g);
    ASSERT_EQ(ls.size(), 1u);
    const DrawOp& h = t.back();
    ASSERT_EQ(h.text, QStringLiteral("h"));
    DrawOp x = h;
    x.text = QStringLiteral("x");
    EXPECT_GT(ls[0].a.y(), inkBounds(h).top());
    EXPECT_LT(ls[0].a.y() + 1, inkBounds(x).top());
    EXPECT_DOUBLE_EQ(ls[0].b.x(), d.CurX);
}

TEST_F(OrielGlyphs, AlphaSquaredOverTwoEndsAfterItsBar) {
    d.alphaSqOver2();
    // The bar is one stroke where a blank and two overlapping rules stood; the cursor
    // ends a blank after it.
    const std::vector<DrawOp> ls = lines(g);
    ASSERT_EQ(ls.size(), 1u);
    const QRectF bar = inkBounds(ls[0]);
    const double blank = g.TextWidth(QStringLiteral(" "));
    EXPECT_NEAR(d.CurX, bar.right() + blank, 1.0);
    EXPECT_NEAR(bar.left(), 100 + blank, 1.0);
    const DrawOp* alpha = findText(g, QStringLiteral("α"));
    const std::vector<DrawOp> runs = texts(g);
    const DrawOp* two = nullptr;
    for (const DrawOp& op : runs)
        if (op.text == QStringLiteral("2") && op.a.y() > 80)
            two = &op;
    ASSERT_TRUE(alpha && two);
    EXPECT_LT(alpha->a.y(), 80 - 0.3 * d.CharH) << "α above the bar";
    EXPECT_NEAR(two->a.y(), 80 + 0.5 * d.CharH, 1e-9);
    EXPECT_NEAR(two->fontSize, 0.95 * 12.75, 1e-9);
    // Both parts lie over the bar.
    EXPECT_GE(alpha->a.x(), 100);
    EXPECT_LE(two->a.x() + two->cell.width(), d.CurX);
}

TEST_F(OrielGlyphs, AlphaStandsOnTheLineOfTheItalicLetterBesideIt) {
    d.B_alpha();
    const DrawOp* b = findText(g, QStringLiteral("B"));
    const DrawOp* a = findText(g, QStringLiteral("α"));
    ASSERT_TRUE(a && b);
    const double baseB = b->a.y() + b->ascent;
    const double baseA = a->a.y() + a->ascent;
    EXPECT_NEAR(baseA, baseB - 1, 0.5);
    EXPECT_GE(d.greekDrop(1.1, -2), 0);
}

TEST_F(OrielGlyphs, FractionCentresBothPartsOnABarAsLongAsTheLongerPart) {
    const auto num = [this] { d.ds(QStringLiteral("1")); };
    const auto den = [this] { d.ds(QStringLiteral("abcd")); };
    const double wn = d.widthOf(num);
    const double wd = d.widthOf(den);
    EXPECT_TRUE(g.ops().size() == 1) << "measuring draws nothing";
    EXPECT_DOUBLE_EQ(d.CurX, 100);
    EXPECT_GT(wd, wn);

    d.fraction(num, den, 3);
    const double W = wd + 6;
    EXPECT_DOUBLE_EQ(d.CurX, 100 + W);
    EXPECT_DOUBLE_EQ(d.CurY, 80);
    // One stroke where the rules filling W would stand, on whole pixel rows.
    const std::vector<DrawOp> ls = lines(g);
    ASSERT_EQ(ls.size(), 1u);
    const QRectF bar = inkBounds(ls[0]);
    EXPECT_NEAR(bar.left(), 100, 1.0);
    EXPECT_NEAR(bar.right(), 100 + W, 1.0);
    EXPECT_EQ(bar.top(), std::round(bar.top()));
    EXPECT_GT(bar.top(), 80);
    EXPECT_LT(bar.bottom(), 80 + d.CharH);
    const DrawOp* n = findText(g, QStringLiteral("1"));
    const DrawOp* dd = findText(g, QStringLiteral("abcd"));
    ASSERT_TRUE(n && dd);
    EXPECT_NEAR(n->a.x(), 100 + (W - wn) / 2, 1e-9);
    EXPECT_NEAR(dd->a.x(), 100 + 3, 1e-9);
    EXPECT_NEAR(n->a.y(), 80 - 0.5 * d.CharH, 1e-9);
    EXPECT_NEAR(dd->a.y(), 80 + 0.55 * d.CharH, 1e-9);
}

TEST_F(OrielGlyphs, RootOverAFractionSpansItAndReachesMinEnd) {
    d.rootOver([&] { d.fraction([&] { d.ds(QStringLiteral("1")); }, [&] { d.ds(QStringLiteral("abcd")); }); },
               300);
    const DrawOp* sign = findText(g, QStringLiteral("√"));
    ASSERT_NE(sign, nullptr);
    const DrawOp* n = findText(g, QStringLiteral("1"));
    const DrawOp* dd = findText(g, QStringLiteral("abcd"));
    ASSERT_TRUE(n && dd);
    const QRectF signInk = inkBounds(*sign);
    // The sign reaches from below the denominator up to the overline, above the numerator.
    EXPECT_GE(signInk.bottom(), inkBounds(*dd).bottom() - 0.5);
    const std::vector<DrawOp> ls = lines(g);
    ASSERT_GE(ls.size(), 2u);
    const DrawOp& over = ls.front(); // drawn before the fraction's bar
    EXPECT_DOUBLE_EQ(over.a.y(), over.b.y());
    EXPECT_EQ(over.a.y(), std::round(over.a.y())) << "on a pixel row";
    EXPECT_LT(over.a.y(), inkBounds(*n).top());
    EXPECT_EQ(over.color, d.Gray);
    EXPECT_GE(over.b.x(), inkBounds(*dd).right());
    EXPECT_GE(d.CurX, 300);
}
