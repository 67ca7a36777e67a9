// SPDX-License-Identifier: GPL-3.0-or-later
// Pacing of the curves (on an injected clock, and briefly on the real one) and the
// ways a run ends early: Escape from any control, and closing the window.

#include "WindowTestSupport.h"
#include "TestFonts.h"

#include <engine/shell/PacedWaiter.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>

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

// A clock that only moves when the window sleeps: each sleep jumps to its end.
struct VirtualTime {
    Nanos now{1'000'000'000'000};
    long pumps = 0;
    long sleeps = 0;
    SorrelWindow::Config config(double speed) {
        SorrelWindow::Config c;
        c.clock = [this] { return now; };
        c.speed = speed;
        c.yield.pumpOnce = [this] {
            ++pumps;
            return true;
        };
        c.yield.sleep = [this](std::optional<Nanos> until, const std::function<bool()>&) {
            EXPECT_TRUE(until && *until > now);
            ++sleeps;
            now = until.value_or(now);
            return true;
        };
        return c;
    }
};

struct StepTimes {
    std::vector<Nanos> d1, d2, d3;
    std::vector<long> wakesD1; // yields and sleeps
};

StepTimes timeSteps(VirtualTime& t, SorrelWindow& w, int stopAfterCycles = 99) {
    StepTimes times;
    Spy spy(w.display());
    Nanos began{0};
    long wakes0 = 0;
    spy.before = [&](Spy::Step, const HartreeState&) {
        began = t.now;
        wakes0 = t.pumps + t.sleeps;
    };
    spy.after = [&](Spy::Step k, const HartreeState& s) {
        const Nanos took = t.now - began;
        if (k == Spy::D1) {
            times.d1.push_back(took);
            times.wakesD1.push_back(t.pumps + t.sleeps - wakes0);
        }
        if (k == Spy::D2)
            times.d2.push_back(took);
        if (k == Spy::D3)
            times.d3.push_back(took);
        if (k == Spy::D4 || k == Spy::D5 || k == Spy::D6) {
            EXPECT_EQ(took, Nanos(0)) << "text lines are not paced";
        }
        return k == Spy::D5 && s.nIter() + 1 >= stopAfterCycles ? Flow::Stop : Flow::Continue;
    };
    w.load(&spy);
    return times;
}

} // namespace

// The points of a frame are drawn together and a curve's last ones may be drawn up to
// a frame early; the next curve waits for them first, so every curve takes its
// points' time within a frame and the whole run as long as its points.
TEST(SorrelWindowPacing, EachPointWaitsForItsSlotFromTheCurveStart) {
    TestEnvironment quiet;
    VirtualTime t;
    SorrelWindow w(testFonts(), quiet(t.config(1.0)));
    const Nanos start = t.now;
    const StepTimes times = timeSteps(t, w);
    ASSERT_EQ(times.d1.size(), 8u);
    ASSERT_EQ(times.d3.size(), 17u);
    constexpr Nanos frame = course::PacedWaiter::kGather;
    const auto within = [frame](Nanos took, Nanos due) { return took <= due + frame && took >= due - frame; };
    // Lower plot: the last slot waited for is point 2150; point 2151 (r > 4.2) ends it.
    for (Nanos d : times.d1)
        EXPECT_PRED2(within, d, 2150 * kSlot);
    // Potential: points 2..2150 wait, 2151 ends the curve.
    for (Nanos d : times.d2)
        EXPECT_PRED2(within, d, 2150 * kSlot);
    // Matched solution: 1867 inward points from slot 0, then 310 outward points.
    for (Nanos d : times.d3)
        EXPECT_PRED2(within, d, (1866 + 310) * kSlot);
    // The curve is drawn progressively, once a frame: not at once, not point by point.
    for (long wakes : times.wakesD1) {
        EXPECT_LE(wakes, 2150 * kSlot / frame + 2);
        EXPECT_GE(wakes, 2150 * kSlot / (frame + kSlot) - 2);
    }
    // The whole run: about four and a half minutes of drawing.
    const double seconds = std::chrono::duration<double>(t.now - start).count();
    EXPECT_NEAR(seconds, (16 * 2150 + 17 * 2176) / 256.0, std::chrono::duration<double>(frame).count());
}

TEST(SorrelWindowPacing, SpeedFactorDividesEveryWait) {
    TestEnvironment quiet;
    VirtualTime t;
    SorrelWindow w(testFonts(), quiet(t.config(2.0)));
    const StepTimes times = timeSteps(t, w, 1);
    // A curve's last points may be gathered and drawn up to kGather before they are
    // due; the next curve waits for them first, so each step takes its points' time
    // within kGather.
    const auto within = [](std::chrono::nanoseconds took, std::chrono::nanoseconds due) {
        return took - due <= course::PacedWaiter::kGather && due - took <= course::PacedWaiter::kGather;
    };
    ASSERT_EQ(times.d1.size(), 1u);
    EXPECT_PRED2(within, times.d1[0], 2150 * (kSlot / 2));
    EXPECT_PRED2(within, times.d2[0], 2150 * (kSlot / 2));
    ASSERT_EQ(times.d3.size(), 3u);
    EXPECT_PRED2(within, times.d3[0], 2176 * (kSlot / 2));
}

TEST(SorrelWindowPacing, UnpacedRunNeitherWaitsNorYields) {
    TestEnvironment quiet;
    VirtualTime t;
    SorrelWindow::Config c = SorrelWindow::unpaced();
    c.clock = [&t] { return t.now; };
    SorrelWindow w(testFonts(), quiet(c));
    const auto wall0 = std::chrono::steady_clock::now();
    EXPECT_EQ(w.load(), RunOutcome::Completed);
    EXPECT_LT(std::chrono::steady_clock::now() - wall0, 60s);
    EXPECT_TRUE(w.getSourceFile()->isVisibleTo(&w));
}

// On the real clock in the event loop: the first lower-plot curve at speed 4 takes its
// 2150 slots (about 2.1 s) and the process sleeps rather than spins meanwhile.
TEST(SorrelWindowPacing, RealClockCurveTakesItsTimeWithoutSpinning) {
    TestEnvironment quiet;
    SorrelWindow::Config c;
    c.speed = 4;
    SorrelWindow w(testFonts(), quiet(c));
    w.show();
    Spy spy(w.display());
    std::chrono::steady_clock::time_point t0, t1;
    std::clock_t cpu0 = 0, cpu1 = 0;
    spy.before = [&](Spy::Step, const HartreeState&) {
        t0 = std::chrono::steady_clock::now();
        cpu0 = std::clock();
    };
    spy.after = [&](Spy::Step, const HartreeState&) {
        t1 = std::chrono::steady_clock::now();
        cpu1 = std::clock();
        return Flow::Stop;
    };
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    const double wall = std::chrono::duration<double>(t1 - t0).count();
    const double cpu = double(cpu1 - cpu0) / CLOCKS_PER_SEC;
    const double expected = 2150.0 / 256.0 / 4.0;
    // The last points are gathered and drawn up to a frame early.
    EXPECT_GE(wall, expected - std::chrono::duration<double>(course::PacedWaiter::kGather).count());
    EXPECT_LT(wall, 3 * expected + 1.0);
    EXPECT_LT(cpu, 0.5 * wall) << "cpu " << cpu << " s for " << wall << " s of pacing";
}

TEST(SorrelWindowEnding, EscapeToAnyControlEndsTheRunMidCurve) {
    TestEnvironment quiet;
    TestEnvironment& ends = quiet;
    SorrelWindow::Config c;
    c.speed = 2; // the first curve takes about 4 s
    SorrelWindow w(testFonts(), quiet(c));
    w.show();
    QWidget* target = w.picBox()->view();
    bool endedEarly = false;
    QTimer::singleShot(50, &w, [&] {
        // Any other key is ignored.
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    });
    QTimer::singleShot(150, &w, [&] {
        endedEarly = ends.ends > 0;
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    // Should Escape not work, the run stops after the first curve anyway.
    Spy spy(w.display());
    spy.after = [](Spy::Step, const HartreeState&) { return Flow::Stop; };
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s);
    EXPECT_FALSE(endedEarly);
    EXPECT_EQ(ends.ends, 1);
    // The first curve was left unfinished and nothing after it was drawn.
    const auto lines = opsOf(w.pic(), course::DrawOp::Kind::Line);
    std::size_t curve = 0;
    for (const course::DrawOp* op : lines)
        curve += op->width == 1 && op->color == w.glyphs().MyColor[1];
    EXPECT_GT(curve, 0u);
    EXPECT_LT(curve, 2151u);
    EXPECT_TRUE(opsOf(w.picNumerov(), course::DrawOp::Kind::Line).empty());
    EXPECT_FALSE(w.getSourceFile()->isVisibleTo(&w));
}

TEST(SorrelWindowEnding, ClosingTheWindowEndsTheRun) {
    TestEnvironment quiet;
    TestEnvironment& ends = quiet;
    SorrelWindow::Config c;
    c.speed = 2;
    SorrelWindow w(testFonts(), quiet(c));
    w.show();
    QTimer::singleShot(100, &w, [&] { w.close(); });
    Spy spy(w.display());
    spy.after = [](Spy::Step, const HartreeState&) { return Flow::Stop; };
    EXPECT_EQ(w.load(&spy), RunOutcome::Stopped);
    EXPECT_EQ(ends.ends, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_LT(opsOf(w.pic(), course::DrawOp::Kind::Line).size(), 2151u);
    EXPECT_TRUE(quiet.played.empty());
}
