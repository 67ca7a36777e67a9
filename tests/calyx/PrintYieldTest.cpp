// SPDX-License-Identifier: GPL-3.0-or-later
// The print step of calyx yields to the event loop between drawing the page on the
// print canvas and sending it to the printer. Every handler queued here runs inside
// that yield, where the event loop would run a click, a key or the close request.

#include "CalyxDocument.h"

#include <engine/shell/EventPump.h>
#include <engine/shell/Form1.h>
#include <engine/shell/KeyCode.h>
#include "RunLog.h"
#include "WindowFixture.h"

#include <QMetaObject>

#include <gtest/gtest.h>

#include <functional>

using namespace course;

namespace {

struct CalyxPrintYield : course::testing::WindowFixture<calyx::CalyxDocument> {
    void SetUp() override { open(std::make_unique<calyx::CalyxDocument>(), true); }

    // Runs `f` at the next yield to the event loop.
    void atNextYield(std::function<void()> f) {
        QMetaObject::invokeMethod(w.get(), std::move(f), Qt::QueuedConnection);
    }
    int visiblePages() const {
        int n = 0;
        for (int k = 0; k < w->pageCount(); ++k)
            n += w->pageVisible(k);
        return n;
    }
    void expectArrowRule() {
        EXPECT_EQ(w->backLabel()->isVisibleTo(w.get()), doc->CurPic > 0);
        EXPECT_EQ(w->goLabel()->isVisibleTo(w.get()), doc->CurPic < w->pageCount() - 1);
    }
};

} // namespace

TEST_F(CalyxPrintYield, ClosingWhileAPrintIsPreparedAbandonsThePrint) {
    w->cmdGo_Click();
    atNextYield([this] { w->close(); });
    w->cmdPrint_Click();
    // The window went away with its canvas: nothing reaches the printer, and the
    // print state is cleared for nobody to trip over.
    EXPECT_EQ(sink->prints, 0);
    EXPECT_EQ(doc->Printing, 0);
    EXPECT_FALSE(w->form2Exists());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(doc->Pic, nullptr);
    // Shown again, the window prints on a new canvas.
    w->show();
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_EQ(course::testing::joined(w->Form2()), course::testing::joined(w->page(1)));
}

TEST_F(CalyxPrintYield, ClicksAndKeysInsideThePrintYieldLeaveOnePrintOfThePreparedPage) {
    w->cmdGo_Click();
    const QString prepared = QStringLiteral("calyx-page2");
    int refusedPrints = 0;
    atNextYield([&] {
        const int before = sink->prints;
        w->cmdPrint_Click(); // refused: a print is being prepared
        refusedPrints += sink->prints == before;
        w->Form_KeyDown(key::End);
        w->cmdBack_Click(); // page 2
        w->Form_KeyDown(key::Home);
        w->Form_KeyDown(key::Down);
        w->Form_KeyDown(key::F1); // nothing in calyx
    });
    w->cmdPrint_Click();
    EXPECT_EQ(refusedPrints, 1);
    ASSERT_EQ(sink->prints, 1);
    EXPECT_EQ(sink->jobs.back(), prepared);
    EXPECT_EQ(doc->Printing, 0);
    EXPECT_EQ(doc->CurPic, 1);
    EXPECT_EQ(visiblePages(), 1);
    EXPECT_TRUE(w->pageVisible(1));
    expectArrowRule();
    // A second print after the first works as usual.
    w->cmdPrint_Click();
    EXPECT_EQ(sink->prints, 2);
}

TEST_F(CalyxPrintYield, EscapeInsideThePrintYieldEndsWithoutPrinting) {
    atNextYield([this] { w->Form_KeyDown(key::Escape); });
    w->cmdPrint_Click();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(sink->prints, 0);
}
