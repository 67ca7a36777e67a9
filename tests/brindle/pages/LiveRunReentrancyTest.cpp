// SPDX-License-Identifier: GPL-3.0-or-later
// What other handlers may do while a live run waits in the event loop: print, move
// between pages, show page 2 again, press keys, end the program. Every handler here
// runs inside one of the run's sleeps, exactly where the event loop would run it.

#include "PageTestSupport.h"

#include <engine/shell/KeyCode.h>

#include <QMetaObject>

#include <algorithm>

using namespace brindle;
using namespace brindle::testing;
using course::DrawOp;
namespace key = course::key;

namespace {

constexpr course::Rgb kBlue = course::RGB(0, 0, 255);
constexpr course::Rgb kRed = course::RGB(255, 0, 0);

int linesOf(const std::vector<DrawOp>& ops, course::Rgb color) {
    int n = 0;
    for (const DrawOp& op : ops)
        n += op.kind == DrawOp::Kind::Line && op.color == color;
    return n;
}

// Four blue functions of 1025 steps (a few steps under labels are left out) and
// four red levels.
bool isFinalPicture(const std::vector<DrawOp>& ops) {
    const auto blue = linesOf(ops, kBlue);
    return blue <= 4 * 1025 && blue >= 4 * 1025 - 41 && linesOf(ops, kRed) == 4;
}

class Reentrancy : public BrindleWindow {
protected:
    void clickToLivePage() {
        w->cmdGo_Click();
        w->cmdGo_Click();
    }
};

} // namespace

TEST_F(Reentrancy, PrintDuringARunPrintsItsOwnCompletePage) {
    std::size_t canvasAfterPrint = 0;
    pacer.during = [&](int k) {
        if (k != 100)
            return;
        w->cmdPrint_Click();
        canvasAfterPrint = w->Form2().ops().size();
    };
    clickToLivePage();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_TRUE(isFinalPicture(sink->canvasOps));
    // The run went on to its end on its own page; nothing more reached the canvas.
    EXPECT_EQ(w->Form2().ops().size(), canvasAfterPrint);
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun);
    EXPECT_TRUE(isFinalPicture(w->page(2).ops()));
    // Only the run's own sounds: the print plays none.
    EXPECT_EQ(count(course::Sound::Chime), 4);
    EXPECT_EQ(count(course::Sound::Notify), 1);
    EXPECT_EQ(doc->Printing, 0);
}

TEST_F(Reentrancy, RunGoesOnOnItsHiddenPageWhileAnotherPageIsPrinted) {
    std::size_t canvasAfterPrint = 0, page1Ops = w->page(1).ops().size();
    pacer.during = [&](int k) {
        if (k != 100)
            return;
        w->cmdBack_Click();
        w->cmdBack_Click();
        w->cmdPrint_Click();
        canvasAfterPrint = w->Form2().ops().size();
    };
    clickToLivePage();
    EXPECT_EQ(doc->CurPic, 0);
    EXPECT_FALSE(w->pageVisible(2));
    EXPECT_EQ(sink->prints, 1);
    const QString printed = joinedText(w->Form2());
    EXPECT_TRUE(printed.contains(QStringLiteral("(1)  概 要")));
    EXPECT_TRUE(printed.contains(QStringLiteral("エネルギー固有値の数値計算"))); // the title line
    EXPECT_FALSE(printed.contains(QStringLiteral("⊿")));
    EXPECT_EQ(w->Form2().ops().size(), canvasAfterPrint);
    EXPECT_EQ(w->page(1).ops().size(), page1Ops);
    EXPECT_TRUE(isFinalPicture(w->page(2).ops()));
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun);
}

TEST_F(Reentrancy, ShowingPageTwoAgainCancelsTheOldRunAndStartsAfterIt) {
    int runsDuringNewRun = 0;
    pacer.during = [&](int k) {
        if (k == 50) {
            w->cmdBack_Click();
            w->cmdGo_Click(); // asks for a second run inside the first one's wait
            EXPECT_EQ(doc->runsInProgress(), 1) << "the new run does not start inside the old one";
        } else if (k == 60) {
            runsDuringNewRun = doc->runsInProgress();
        }
    };
    clickToLivePage();
    EXPECT_EQ(runsDuringNewRun, 1);
    EXPECT_EQ(doc->runsInProgress(), 0);
    // The old run stopped at the wait it was in; then the new one ran to its end.
    EXPECT_EQ(pacer.sleeps(), 51 + kSleepsPerRun);
    EXPECT_TRUE(isFinalPicture(w->page(2).ops()));
    EXPECT_EQ(count(course::Sound::Chime), 4);
    EXPECT_EQ(count(course::Sound::Notify), 1);
    EXPECT_EQ(doc->CurPic, 2);
}

TEST_F(Reentrancy, EscapeEndsARunStartedByAClick) {
    pacer.during = [&](int k) {
        if (k == 30)
            w->Form_KeyDown(key::Escape);
    };
    clickToLivePage();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(pacer.sleeps(), 31);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(doc->runsInProgress(), 0);
}

TEST_F(Reentrancy, KeysAreIgnoredDuringARunStartedByAKey) {
    int busySeen = 0;
    pacer.during = [&](int k) {
        if (k != 30)
            return;
        busySeen = doc->KeyBusy;
        for (int key : {key::Home, key::Up, key::End})
            w->Form_KeyDown(key);
    };
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Down);
    EXPECT_EQ(busySeen, 1);
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(doc->CurPic, 2);
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun);
    EXPECT_EQ(sounds.size(), 5u);
    EXPECT_FALSE(doc->KeyBusy);
    // Once the key's run is over, keys work again: End shows page 2 anew.
    w->Form_KeyDown(key::End);
    EXPECT_EQ(pacer.sleeps(), 2 * kSleepsPerRun);
}

TEST_F(Reentrancy, EscapeEndsARunStartedByAKey) {
    pacer.during = [&](int k) {
        if (k == 30)
            w->Form_KeyDown(key::Escape);
    };
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Down);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(pacer.sleeps(), 31);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(doc->runsInProgress(), 0);
    EXPECT_FALSE(doc->KeyBusy);
}

// A held digit key: every press during a run asks for a new one. They never nest: one
// run at a time, and the last l chosen is the one that finishes.
TEST_F(Reentrancy, ThousandsOfDigitPressesLeaveOneRunAtATime) {
    int most = 0;
    int presses = 0;
    pacer.during = [&](int k) {
        most = std::max(most, doc->runsInProgress());
        if (k >= 10 && presses < 3000) {
            for (int i = 0; i < 30 && presses < 3000; ++i, ++presses)
                w->Form_KeyDown('0' + presses % 4);
        }
    };
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Down);
    EXPECT_EQ(presses, 3000);
    EXPECT_EQ(most, 1);
    EXPECT_EQ(doc->runsInProgress(), 0);
    EXPECT_EQ(doc->l(), 2999 % 4);
    EXPECT_FALSE(doc->KeyBusy);
    // One run finished: its four chimes and the closing sound.
    EXPECT_EQ(count(course::Sound::Chime), 4);
    EXPECT_EQ(count(course::Sound::Notify), 1);
}

TEST_F(Reentrancy, ClosingTheWindowStopsARunAtOnce) {
    w->show();
    pacer.during = [&](int k) {
        if (k == 30)
            w->close();
    };
    clickToLivePage();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(pacer.sleeps(), 31);
    EXPECT_TRUE(sounds.empty());
    EXPECT_FALSE(w->form2Exists());
}

// The print step yields once more, inside the run's wait: handlers queued before the
// print label is clicked run there.
TEST_F(Reentrancy, ClosingInsideAPrintStartedDuringARunStopsBoth) {
    w->show();
    pacer.during = [&](int k) {
        if (k != 100)
            return;
        QMetaObject::invokeMethod(
            w.get(), [this] { w->close(); }, Qt::QueuedConnection);
        w->cmdPrint_Click();
    };
    clickToLivePage();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(sink->prints, 0);
    EXPECT_EQ(doc->Printing, 0);
    EXPECT_FALSE(w->form2Exists());
    EXPECT_EQ(pacer.sleeps(), 101);
    EXPECT_EQ(doc->runsInProgress(), 0);
    EXPECT_TRUE(sounds.empty());
}

TEST_F(Reentrancy, PagesShownAgainInsideAPrintStartedDuringARun) {
    std::size_t canvasPrinted = 0;
    pacer.during = [&](int k) {
        if (k != 100)
            return;
        QMetaObject::invokeMethod(
            w.get(),
            [this] {
                w->Form_KeyDown(key::Home);
                w->Form_KeyDown(key::End); // page 2 again, a run of its own
                w->cmdPrint_Click();       // refused
            },
            Qt::QueuedConnection);
        w->cmdPrint_Click();
        canvasPrinted = sink->canvasOps.size();
        // The print drew in a scope of its own: the run goes on drawing on page 2.
        EXPECT_EQ(doc->Pic, &w->page(2));
    };
    clickToLivePage();
    EXPECT_EQ(sink->prints, 1);
    EXPECT_TRUE(isFinalPicture(sink->canvasOps));
    EXPECT_GT(canvasPrinted, 0u);
    // The first run stopped at the wait it was in; page 2 holds the second run's
    // complete picture, drawn at once because a print was being prepared.
    EXPECT_EQ(pacer.sleeps(), 101);
    EXPECT_EQ(doc->runsInProgress(), 0);
    EXPECT_TRUE(isFinalPicture(w->page(2).ops()));
    EXPECT_EQ(doc->CurPic, 2);
    EXPECT_TRUE(w->pageVisible(2));
    EXPECT_FALSE(w->pageVisible(0));
    EXPECT_FALSE(w->pageVisible(1));
    EXPECT_TRUE(w->backLabel()->isVisibleTo(w.get()));
    EXPECT_FALSE(w->goLabel()->isVisibleTo(w.get()));
    EXPECT_EQ(doc->Printing, 0);
    EXPECT_EQ(doc->Pic, nullptr);
}
