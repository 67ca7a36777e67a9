// SPDX-License-Identifier: GPL-3.0-or-later
// Pause, step and speed of the Hartree run through the window's keys: the paced clock
// stops while paused and the curve goes on at its pace afterwards, a step draws one
// curve, the speed keys scale the waits and are remembered, and a paused run sleeps
// in the event loop without spinning.

#include "WindowTestSupport.h"
#include "TestFonts.h"

#include "Options.h"

#include <engine/shell/RunControls.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSettings>
#include <QTimer>

#include <TestOutput.h>
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

using course::testing::testFonts;
using namespace sorrel;
using namespace sorrel::test;
using Nanos = course::PacedClock::Nanos;
using namespace std::chrono_literals;

namespace {

constexpr Nanos kSlot = SorrelDisplay::kDrawDelay;

void press(SorrelWindow& w, Qt::Key key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w.picBox()->view(), &e);
}

// A clock that moves only when the window sleeps: a timed sleep jumps to its end, a
// paused one moves on by a second; `during(k)` runs inside sleep k first, and a sleep
// that it wakes ends without moving the clock.
struct VirtualTime {
    Nanos now{1'000'000'000'000};
    int sleeps = 0, pausedSleeps = 0;
    std::function<void(int)> during;
    SorrelWindow::Config config() {
        SorrelWindow::Config c;
        c.clock = [this] { return now; };
        c.yield.pumpOnce = [] { return true; }; // the window adds its own stop
        c.yield.sleep = [this](std::optional<Nanos> until, const std::function<bool()>& wake) {
            const int k = sleeps++;
            if (!until && ++pausedSleeps > 10000)
                return false;
            if (during)
                during(k);
            if (wake())
                return true;
            now = until ? std::max(now, *until) : now + 1s;
            return true;
        };
        return c;
    }
};

class SorrelRunControls : public ::testing::Test {
protected:
    void SetUp() override { QSettings(QStringLiteral("quantum-course"), QStringLiteral("sorrel")).clear(); }
    TestEnvironment quiet; // the windows' sounds and end
};

// How long the first curve takes on the virtual clock; the run stops after it.
Nanos firstCurveTime(VirtualTime& t, SorrelWindow& w) {
    Spy spy(w.display());
    Nanos began{0}, took{0};
    spy.before = [&](Spy::Step, const HartreeState&) { began = t.now; };
    spy.after = [&](Spy::Step, const HartreeState&) {
        took = t.now - began;
        return Flow::Stop;
    };
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    return took;
}

std::size_t linesOf(const course::Surface& g) { return opsOf(g, course::DrawOp::Kind::Line).size(); }

} // namespace

TEST_F(SorrelRunControls, PauseHoldsTheCurveAndItGoesOnAtItsPace) {
    VirtualTime t;
    SorrelWindow w(testFonts(), quiet(t.config()));
    std::size_t linesAtPause = 0;
    t.during = [&](int k) {
        if (k == 100) {
            press(w, Qt::Key_P);
            linesAtPause = linesOf(w.pic());
        } else if (w.clock().paused() && t.pausedSleeps == 20) {
            EXPECT_EQ(linesOf(w.pic()), linesAtPause);
            EXPECT_EQ(w.runControls()->stateLabel()->text(), QStringLiteral("一時停止中　速さ ×1"));
            press(w, Qt::Key_P);
        }
    };
    const Nanos took = firstCurveTime(t, w);
    ASSERT_GT(linesAtPause, 0u);
    // The curve's 2150 slots and the pause (19 sleeps of a second; the one that saw
    // the resume ended at once): no point was hurried after it.
    EXPECT_EQ(took, 2150 * kSlot + 19s);
}

TEST_F(SorrelRunControls, AStepDrawsTheNextCurveAndPausesBeforeTheOneAfter) {
    VirtualTime t;
    SorrelWindow::Config c = t.config();
    c.paused = true;
    SorrelWindow w(testFonts(), quiet(c));
    std::vector<std::pair<std::size_t, std::size_t>> atPauses; // lines of the two plots
    t.during = [&](int) {
        if (!w.clock().paused())
            return;
        atPauses.emplace_back(linesOf(w.pic()), linesOf(w.picNumerov()));
        press(w, atPauses.size() == 1 ? Qt::Key_N : Qt::Key_P);
    };
    Spy spy(w.display());
    spy.after = [&](Spy::Step k, const HartreeState&) { return k == Spy::D2 ? Flow::Stop : Flow::Continue; };
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    ASSERT_EQ(atPauses.size(), 2u);
    // Before the first curve only the axes; before the second one the whole first
    // curve (2151 points) and its legend line, and nothing on the upper plot.
    EXPECT_EQ(atPauses[1].first - atPauses[0].first, 2151u + 1u);
    EXPECT_EQ(atPauses[0].second, 0u);
    EXPECT_EQ(atPauses[1].second, 0u);
    EXPECT_GT(linesOf(w.picNumerov()), 2000u);
}

TEST_F(SorrelRunControls, SpeedKeysScaleTheWaitsAndTheChoiceIsRemembered) {
    VirtualTime t;
    SorrelWindow w(testFonts(), quiet(t.config()));
    t.during = [&](int k) {
        if (k == 0)
            press(w, Qt::Key_BracketRight); // ×2 from the first point on
    };
    // Above ×1 the last points are gathered and drawn up to PacedWaiter::kGather early
    // (the next curve waits for them).
    const Nanos took = firstCurveTime(t, w);
    EXPECT_LE(took, 2150 * (kSlot / 2));
    EXPECT_GE(took, 2150 * (kSlot / 2) - course::PacedWaiter::kGather);
    EXPECT_DOUBLE_EQ(w.clock().speed(), 2);
    EXPECT_DOUBLE_EQ(course::savedSpeed(QStringLiteral("sorrel")), 2);
    EXPECT_EQ(w.runControls()->stateLabel()->text(), QStringLiteral("速さ ×2"));

    // --speed is for one run; without it the program takes the remembered speed.
    const ParsedOptions given = parseOptions({"--speed", "0.25", "--paused"});
    ASSERT_TRUE(given.ok());
    EXPECT_EQ(given.options.run.speed, 0.25);
    EXPECT_TRUE(given.options.run.paused);
    EXPECT_FALSE(parseOptions({}).options.run.speed);
    EXPECT_DOUBLE_EQ(parseOptions({}).options.run.speedFor(QStringLiteral("sorrel")), 2);
}

TEST_F(SorrelRunControls, ControlsShowOnlyDuringARunInTheDownloadLabelsPlace) {
    SorrelWindow w(testFonts(), quiet(SorrelWindow::Config{}));
    w.show();
    course::RunControls* controls = w.runControls();
    bool shownDuring = false;
    QRect during;
    Spy spy(w.display());
    spy.after = [&](Spy::Step, const HartreeState&) {
        shownDuring = controls->isVisibleTo(&w);
        during = controls->geometry();
        w.grab().save(course::testing::outputDir() + QStringLiteral("/sorrel-run-controls.png"));
        return Flow::Stop;
    };
    w.clock().setSpeed(16);
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    EXPECT_TRUE(shownDuring);
    // Right of the title's text, above the upper plot, inside the window.
    const course::Surface& title = w.label1()->surface();
    EXPECT_GE(during.left(), w.label1()->geometry().left() + title.TextWidth(w.label1()->caption()));
    EXPECT_LE(during.bottom(), w.picNumerovBox()->geometry().top());
    EXPECT_LE(during.right(), w.width());
    for (QWidget* part : controls->findChildren<QWidget*>())
        EXPECT_TRUE(controls->rect().contains(part->geometry())) << part->metaObject()->className();

    // A finished run shows the download label instead; the keys do nothing then.
    SorrelWindow done(testFonts(), SorrelWindow::unpaced());
    EXPECT_EQ(done.load(), RunOutcome::Completed);
    EXPECT_FALSE(done.runControls()->isVisibleTo(&done));
    press(done, Qt::Key_P);
    EXPECT_FALSE(done.clock().paused());
}

// On the real event loop: a run started paused sleeps without a timer until P comes,
// then draws its first curve at ×16.
TEST_F(SorrelRunControls, APausedRunSleepsInTheEventLoopWithoutSpinning) {
    SorrelWindow::Config c;
    c.paused = true;
    c.speed = 16;
    SorrelWindow w(testFonts(), quiet(c));
    w.show();
    QTimer::singleShot(500, &w, [&w] {
        QCoreApplication::postEvent(w.picBox()->view(),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier));
    });
    Spy spy(w.display());
    spy.after = [](Spy::Step, const HartreeState&) { return Flow::Stop; };
    const auto wall0 = std::chrono::steady_clock::now();
    const std::clock_t cpu0 = std::clock();
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    // Less the lead of the points gathered into the last frame.
    EXPECT_GE(wall, 0.5 + 2150.0 / 256.0 / 16.0 -
                        std::chrono::duration<double>(course::PacedWaiter::kGather).count());
    EXPECT_LT(cpu, 0.5 * wall) << "cpu " << cpu << " s over " << wall << " s";
    EXPECT_FALSE(w.clock().paused());
}
