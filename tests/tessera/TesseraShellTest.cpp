// SPDX-License-Identifier: GPL-3.0-or-later
// tessera in its window on the offscreen platform: start-up settings, the arrow labels
// and key set A, the print keys that print the window, and printing a page after the
// 11-point matrix page has been drawn.

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include "WindowFixture.h"
#include "RunLog.h"
#include "FakePacing.h"
#include "TesseraDocument.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace course;
using namespace course::testing;

namespace {

struct Tessera : course::testing::WindowFixture<tessera::TesseraDocument> {
    // The live page runs on a fake clock at ×16: a run takes as long as its drawing.
    void SetUp() override {
        auto d = std::make_unique<tessera::TesseraDocument>();
        pacer.attach(*d);
        d->setSpeed(16);
        open(std::move(d));
    }
    tessera::testing::FakePacer pacer;
    // x of the first text run that is exactly `s`, or -1.
    static double xOf(const Surface& g, const QString& s) {
        for (const DrawOp& op : texts(g))
            if (op.text == s)
                return op.a.x();
        return -1;
    }
};

} // namespace

TEST_F(Tessera, StartUpSettings) {
    const DocumentSettings& s = doc->settings();
    EXPECT_EQ(s.pages, 4);
    EXPECT_EQ(w->pageCount(), 4);
    EXPECT_TRUE(s.lastPageDrawnWhenShown);
    EXPECT_EQ(s.labelColor, RGB(240, 240, 255));
    EXPECT_EQ(s.keys, KeySet::A);
    EXPECT_EQ(s.switching, PageSwitching::Inline);
    EXPECT_FALSE(s.hasIndent0);
    EXPECT_EQ(doc->Indent0, 0);
    EXPECT_DOUBLE_EQ(doc->PageFontSize, 13);
    EXPECT_EQ(w->windowTitle(), tessera::title());
    // The print canvas is made on the first print, not at start-up.
    EXPECT_FALSE(w->form2Exists());

    // After start-up (page 2 drawn last) the engine holds the 13-point page metrics.
    const Surface& p0 = w->page(0);
    EXPECT_DOUBLE_EQ(p0.FontSize, 13);
    EXPECT_DOUBLE_EQ(doc->CharW, p0.TextWidth(QStringLiteral("A")));
    EXPECT_DOUBLE_EQ(doc->CharH, p0.TextHeight(QStringLiteral("A")));
    EXPECT_EQ(doc->LeftMargin, nint(2 * doc->CharW));
    EXPECT_EQ(doc->Indent1, nint(5 * doc->CharW + doc->LeftMargin));
    EXPECT_EQ(doc->Indent2, nint(10 * doc->CharW + doc->LeftMargin));
    // Page 0 moved the tag column from 55 characters after the margin to 55 characters.
    EXPECT_EQ(doc->TagCol, nint(55 * doc->CharW));
    for (int k = 0; k < 3; ++k)
        EXPECT_DOUBLE_EQ(w->page(k).FontSize, 13) << "page " << k;
}

TEST_F(Tessera, ArrowLabelsAndNavigationKeys) {
    // Both arrows show on page 0 until the first switch; back does nothing there.
    EXPECT_TRUE(showing(0, true, true));
    w->cmdBack_Click();
    w->Form_KeyDown(key::Up);
    w->Form_KeyDown(key::Backspace);
    EXPECT_EQ(visiblePage(), 0);
    EXPECT_TRUE(back());

    w->Form_KeyDown(key::Down); // Down
    EXPECT_TRUE(showing(1, true, true));
    w->Form_KeyDown(key::Enter); // Enter
    EXPECT_TRUE(showing(2, true, true));
    // The live last page runs when it is shown; forward on it does nothing more.
    w->Form_KeyDown(key::Space);
    EXPECT_TRUE(showing(3, true, false));
    const int sleeps = pacer.sleeps();
    EXPECT_GT(sleeps, 0);
    w->Form_KeyDown(key::Down);
    w->cmdGo_Click();
    EXPECT_EQ(doc->CurPic, 3);
    EXPECT_EQ(pacer.sleeps(), sleeps);
    EXPECT_FALSE(go());
    // Keys of other sets are ignored.
    for (int key : {key::Home, key::End, key::Left, key::A})
        w->Form_KeyDown(key);
    EXPECT_EQ(doc->CurPic, 3);

    w->Form_KeyDown(key::Backspace); // Backspace
    EXPECT_EQ(visiblePage(), 2);
    w->Form_KeyDown(key::Up);
    EXPECT_EQ(visiblePage(), 1);
    w->Form_KeyDown(key::Up); // Up
    EXPECT_TRUE(showing(0, false, true));
    w->Form_KeyDown(key::Space); // Space
    EXPECT_EQ(visiblePage(), 1);
    w->cmdBack_Click();
    EXPECT_EQ(doc->CurPic, 0);

    EXPECT_EQ(ends, 0);
    w->Form_KeyDown(key::Escape);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(sink->jobs.empty());
}

TEST_F(Tessera, PrintKeysPrintTheWindowAndIgnoreKeysMeanwhile) {
    w->Form_KeyDown(key::Down);
    int during = 0;
    sink->during = [&] {
        ++during;
        // KeyBusy is set while the print key's action runs: all of these are ignored.
        w->Form_KeyDown(key::Down);
        w->Form_KeyDown(key::Up);
        w->Form_KeyDown(key::F1);
    };
    w->Form_KeyDown(key::F1);    // F1
    w->Form_KeyDown(key::Print); // Print
    EXPECT_EQ(during, 2);
    ASSERT_EQ(sink->jobs.size(), 2u);
    for (const QString& job : sink->jobs)
        EXPECT_EQ(job, QStringLiteral("tessera-window"));
    EXPECT_EQ(doc->CurPic, 1);
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(doc->KeyBusy);
    // The window print neither makes the print canvas nor redraws a page on it.
    EXPECT_FALSE(w->form2Exists());
    EXPECT_EQ(doc->Printing, 0);
}

TEST_F(Tessera, PrintAfterTheMatrixPageUsesTheScreenMetrics) {
    const double w13 = doc->CharW, h13 = doc->CharH;

    // Page 2 first: it switches to 11 points for its matrices on the canvas too.
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Down);
    w->cmdPrint_Click();
    ASSERT_TRUE(w->form2Exists());
    EXPECT_EQ(sink->jobs.back(), QStringLiteral("tessera-page3"));
    Surface& canvas = w->Form2();
    bool eleven = false;
    for (const DrawOp& op : texts(canvas))
        eleven = eleven || (op.text == QStringLiteral("a") && op.fontSize == 11 * 1.15);
    EXPECT_TRUE(eleven) << "the matrix entries are set in 11 points";
    EXPECT_DOUBLE_EQ(canvas.FontSize, 12);
    EXPECT_DOUBLE_EQ(doc->CharW, w13);
    EXPECT_DOUBLE_EQ(doc->CharH, h13);
    EXPECT_EQ(doc->LeftMargin, nint(w13));

    // Then page 0 and page 1: laid out with the 13-point cell and the print margin.
    w->Form_KeyDown(key::Up);
    w->Form_KeyDown(key::Up);
    w->cmdPrint_Click();
    EXPECT_EQ(sink->jobs.back(), QStringLiteral("tessera-page1"));
    const auto ops0 = texts(canvas);
    ASSERT_FALSE(ops0.empty());
    EXPECT_EQ(ops0.front().text, tessera::title());
    EXPECT_DOUBLE_EQ(ops0.front().a.x(), 16 * w13);
    EXPECT_DOUBLE_EQ(ops0.front().a.y(), h13);
    EXPECT_DOUBLE_EQ(ops0.front().fontSize, 12);
    EXPECT_DOUBLE_EQ(xOf(canvas, QStringLiteral("[1]")), nint(55 * w13));
    EXPECT_DOUBLE_EQ(xOf(canvas, QStringLiteral("を数値計算によって直接解く方法を説明します。")), nint(w13));
    EXPECT_DOUBLE_EQ(xOf(canvas, QStringLiteral("(1) 概 要")), doc->Indent1);

    w->Form_KeyDown(key::Down);
    w->cmdPrint_Click();
    EXPECT_DOUBLE_EQ(xOf(canvas, QStringLiteral("[5]")), nint(55 * w13));
    EXPECT_DOUBLE_EQ(xOf(canvas, QStringLiteral("が得られます。")), nint(w13));
    EXPECT_EQ(sink->jobs.size(), 3u);
    // The screen pages are untouched by the prints.
    EXPECT_FALSE(course::testing::joined(w->page(0)).contains(tessera::title()));
}
