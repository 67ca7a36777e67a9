// SPDX-License-Identifier: GPL-3.0-or-later
// Pause, step and speed of the live page through the window's keys and labels: the
// paced clock stops while paused and the trace goes on at its pace afterwards, a step
// draws one half-trace, the speed keys scale the waits and are remembered, and a
// print during a pause still gets the whole final picture.

#include "PageTestSupport.h"

#include <engine/shell/KeyCode.h>
#include <engine/shell/RunControls.h>

#include <QSettings>

#include <TestOutput.h>

using namespace brindle;
using namespace brindle::testing;
using course::DrawOp;
namespace key = course::key;

namespace {

constexpr course::Rgb kGreen = course::RGB(0, 224, 0);
constexpr course::Rgb kOrange = course::RGB(255, 96, 0);
constexpr course::Rgb kRed = course::RGB(255, 0, 0);

// A whole run at ×1 on the fake clock: 19 iterations of 6.4 s and the closing 2 s.
constexpr nanoseconds kRunTime = 19 * 6400ms + 2s;

class LiveRunControls : public BrindleWindow {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("quantum-course"), QStringLiteral("brindle")).clear();
        BrindleWindow::SetUp();
    }
    course::PacedClock& clock() { return doc->pacing().clock(); }
    // Page 2 by the keys: the run holds KeyBusy until it ends.
    void showLivePageByKeys() {
        w->Form_KeyDown(key::Down);
        w->Form_KeyDown(key::Down);
    }
    std::size_t linesIn(course::Rgb colour) const {
        std::size_t n = 0;
        for (const DrawOp& op : w->page(2).ops())
            n += op.kind == DrawOp::Kind::Line && op.color == colour;
        return n;
    }
};

} // namespace

TEST_F(LiveRunControls, PauseStopsTimeAndDrawingAndTheRunGoesOnWithoutABurst) {
    const nanoseconds begin = pacer.t;
    std::size_t opsAtPause = 0;
    bool busy = false;
    int resumedAt = -1;
    pacer.during = [&](int k) {
        if (k == 100) {
            busy = doc->KeyBusy;
            w->Form_KeyDown(key::P); // acts although KeyBusy is set
            opsAtPause = w->page(2).ops().size();
        } else if (clock().paused() && pacer.pausedSleeps == 30) {
            EXPECT_EQ(w->page(2).ops().size(), opsAtPause) << "nothing drawn while paused";
            EXPECT_EQ(doc->runControls()->stateLabel()->text(), QStringLiteral("一時停止中　速さ ×1"));
            w->Form_KeyDown(key::P);
            resumedAt = pacer.sleeps();
        }
    };
    showLivePageByKeys();
    EXPECT_TRUE(busy);
    ASSERT_EQ(resumedAt, 101);
    // Every step waited once; the one the pause woke waits again.
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun + 1);
    // Every step after the pause waits its whole 10 ms from the wake-up before it.
    for (int j = resumedAt; j < resumedAt + 300; ++j)
        ASSERT_EQ(pacer.deadlines[j] - pacer.startedAt[j], 10ms) << j;
    // The run lasts its usual time plus the pause (29 sleeps of 1 s; the one that saw
    // the resume ended at once).
    EXPECT_EQ(pacer.t - begin, kRunTime + 29s);
    EXPECT_EQ(count(course::Sound::Notify), 1);
}

TEST_F(LiveRunControls, UnpausedRunKeepsItsTime) {
    const nanoseconds begin = pacer.t;
    showLivePageByKeys();
    EXPECT_EQ(pacer.t - begin, kRunTime);
    EXPECT_EQ(pacer.pausedSleeps, 0);
}

TEST_F(LiveRunControls, AStepDrawsOneHalfTraceAndPausesAgain) {
    clock().pause();                                         // as --paused starts it
    std::vector<std::pair<std::size_t, std::size_t>> halves; // green and orange lines when paused again
    int stepsAsked = 0;
    pacer.during = [&](int) {
        if (!clock().paused())
            return;
        halves.emplace_back(linesIn(kGreen), linesIn(kOrange));
        if (stepsAsked < 2) {
            ++stepsAsked;
            w->Form_KeyDown(stepsAsked == 1 ? key::N : key::Right);
        } else {
            w->Form_KeyDown(key::P);
        }
    };
    w->cmdGo_Click();
    w->cmdGo_Click();
    // Paused before the first trace; then the inward half (green in iteration 1, 416
    // steps), then the outward half (orange, 224 steps).
    ASSERT_EQ(halves.size(), 3u);
    EXPECT_EQ(halves[0], std::make_pair(std::size_t(0), std::size_t(0)));
    EXPECT_EQ(halves[1], std::make_pair(std::size_t(416), std::size_t(0)));
    EXPECT_EQ(halves[2], std::make_pair(std::size_t(416), std::size_t(224)));
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun);
    EXPECT_FALSE(clock().paused());
}

TEST_F(LiveRunControls, TheStepLabelStopsARunningDrawingAtTheNextBoundary) {
    course::Label* label = doc->runControls()->stepLabel();
    EXPECT_EQ(label->caption(), QStringLiteral("コマ送り"));
    std::vector<std::pair<std::size_t, std::size_t>> stops;
    pacer.during = [&](int k) {
        if (k == 10 && !clock().paused()) {
            emit label->clicked(); // in the middle of the first inward half
            EXPECT_FALSE(clock().paused());
        } else if (clock().paused()) {
            stops.emplace_back(linesIn(kGreen), linesIn(kOrange));
            w->Form_KeyDown(key::P);
        }
    };
    w->cmdGo_Click();
    w->cmdGo_Click();
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0], std::make_pair(std::size_t(416), std::size_t(0)));
    EXPECT_FALSE(clock().paused());
}

TEST_F(LiveRunControls, SpeedKeysScaleTheWaitsAndAreRemembered) {
    pacer.during = [&](int k) {
        if (k == 10)
            w->Form_KeyDown(key::CloseBracket); // ×2
        if (k == 20) {
            w->Form_KeyDown(key::OpenBracket);
            w->Form_KeyDown(key::OpenBracket); // ×½
        }
    };
    showLivePageByKeys();
    EXPECT_EQ(pacer.deadlines[5] - pacer.startedAt[5], 10ms);
    EXPECT_EQ(pacer.deadlines[15] - pacer.startedAt[15], 5ms);
    EXPECT_EQ(pacer.deadlines[25] - pacer.startedAt[25], 20ms);
    EXPECT_DOUBLE_EQ(doc->speed(), 0.5);
    EXPECT_EQ(doc->runControls()->stateLabel()->text(), QStringLiteral("速さ ×½"));
    EXPECT_DOUBLE_EQ(course::savedSpeed(QStringLiteral("brindle")), 0.5);
    // The next start takes the remembered speed; --speed overrides it without saving.
    EXPECT_DOUBLE_EQ(static_cast<BrindleDocument&>(*makeDocument(std::nullopt)).speed(), 0.5);
    EXPECT_DOUBLE_EQ(static_cast<BrindleDocument&>(*makeDocument(3.0)).speed(), 3.0);
    EXPECT_DOUBLE_EQ(course::savedSpeed(QStringLiteral("brindle")), 0.5);
    // The labels do what the keys do.
    emit doc->runControls()->fasterLabel()->clicked();
    EXPECT_DOUBLE_EQ(doc->speed(), 1);
    emit doc->runControls()->pauseLabel()->clicked();
    EXPECT_TRUE(clock().paused());
    EXPECT_EQ(doc->runControls()->pauseLabel()->caption(), QStringLiteral("再開"));
}

TEST_F(LiveRunControls, PrintDuringAPauseGetsTheFinalPicture) {
    bool printed = false;
    pacer.during = [&](int k) {
        if (k == 50)
            w->Form_KeyDown(key::P);
        else if (clock().paused() && !printed) {
            printed = true;
            w->cmdPrint_Click();
            w->Form_KeyDown(key::P);
        }
    };
    showLivePageByKeys();
    ASSERT_TRUE(printed);
    EXPECT_EQ(sink->prints, 1);
    std::size_t levels = 0;
    for (const DrawOp& op : sink->canvasOps)
        levels += op.kind == DrawOp::Kind::Line && op.color == kRed;
    EXPECT_EQ(levels, 4u);
    EXPECT_EQ(pacer.sleeps(), kSleepsPerRun + 1); // the sleep the pause woke, again
}

TEST_F(LiveRunControls, KeysAndControlsOnlyOnTheLivePageAndClearOfTheOtherControls) {
    course::RunControls* controls = doc->runControls();
    ASSERT_NE(controls, nullptr);
    EXPECT_FALSE(controls->isVisibleTo(w.get()));
    w->Form_KeyDown(key::P);
    w->Form_KeyDown(key::CloseBracket);
    EXPECT_FALSE(clock().paused());
    EXPECT_DOUBLE_EQ(doc->speed(), 1);
    // Page 1: → is no page key in this key set, and does nothing here either.
    w->Form_KeyDown(key::Down);
    w->Form_KeyDown(key::Right);
    EXPECT_EQ(doc->CurPic, 1);
    EXPECT_FALSE(clock().stepping());

    pacer.during = [&](int k) {
        if (k == 0) {
            EXPECT_TRUE(controls->isVisibleTo(w.get()));
            w->Form_KeyDown(key::Up); // page 1: the run goes on, hidden, without controls
            EXPECT_FALSE(controls->isVisibleTo(w.get()));
            w->Form_KeyDown(key::P);
            EXPECT_FALSE(clock().paused());
        }
    };
    w->cmdGo_Click();
    pacer.during = {};
    w->Form_KeyDown(key::End);
    ASSERT_TRUE(controls->isVisibleTo(w.get()));
    const QRect r = controls->geometry();
    EXPECT_GE(r.left(), 0);
    EXPECT_GE(r.top(), 0);
    for (QWidget* other : {static_cast<QWidget*>(w->printLabel()), static_cast<QWidget*>(w->backLabel()),
                           static_cast<QWidget*>(w->goLabel()), static_cast<QWidget*>(w->pageView(2))})
        EXPECT_FALSE(r.intersects(other->geometry())) << other->metaObject()->className();
    const QRectF titleInk = w->titleInk();
    ASSERT_FALSE(titleInk.isEmpty());
    EXPECT_GT(titleInk.left(), doc->settings().layout.title.pixels().left());
    EXPECT_LT(r.right(), titleInk.left());
    // Every label has the room its caption asks for.
    for (course::Label* l : controls->findChildren<course::Label*>())
        EXPECT_GE(l->width(), l->sizeHint().width()) << l->caption().toStdString();
    // Everything the controls show fits inside them.
    for (QWidget* part : controls->findChildren<QWidget*>())
        EXPECT_TRUE(controls->rect().contains(part->geometry())) << part->metaObject()->className();
    w->grab().save(course::testing::outputDir() + QStringLiteral("/brindle-run-controls.png"));
}
