// SPDX-License-Identifier: GPL-3.0-or-later
// The paced clock of the live drawings and the waiter that sleeps on it: deadlines
// from the start of each curve, speed, pause, step, and waiting through a scripted
// event loop.

#include <engine/pacing/PacedClock.h>
#include <engine/shell/EventPump.h>
#include <engine/shell/PacedWaiter.h>
#include <engine/system/Environment.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <thread>
#include <vector>

using course::PacedClock;
using course::PacedWaiter;
using namespace std::chrono_literals;
using ns = std::chrono::nanoseconds;

namespace {

struct FakeTime {
    ns t{5s};
    PacedClock::TimeSource source() {
        return [this] { return t; };
    }
};

constexpr ns kSlot{1'000'000'000 / 256};

TEST(PacedClock, DeadlinesAreMeasuredFromTheStartOfTheCurve) {
    FakeTime time;
    PacedClock clock(time.source());
    time.t = 123ms;
    clock.start();
    EXPECT_EQ(clock.deadline(10ms), 133ms);
    EXPECT_EQ(clock.deadline(416 * 10ms), 123ms + 4160ms);
    EXPECT_EQ(clock.deadline(kSlot), 123ms + 3'906'250ns);
    for (long k = 0; k <= 100000; k += 997)
        ASSERT_EQ(clock.deadline(k * kSlot), 123ms + k * kSlot);

    // A slow point does not push later deadlines back.
    time.t = 123ms + 35ms;
    EXPECT_TRUE(clock.reached(30ms));
    EXPECT_TRUE(clock.reached(35ms));
    EXPECT_FALSE(clock.reached(40ms));
    EXPECT_EQ(clock.elapsed(), 35ms);

    // A new start moves every deadline with it.
    time.t = 10s;
    clock.start();
    EXPECT_EQ(clock.deadline(2s), 12s);
}

TEST(PacedClock, SpeedDividesTheWaitsAndAChangeKeepsTheTimeElapsed) {
    FakeTime time;
    PacedClock clock(time.source(), 4.0);
    clock.start();
    EXPECT_EQ(clock.deadline(6400ms), 5s + 1600ms);
    EXPECT_EQ(clock.deadline(2s), 5s + 500ms);
    clock.setSpeed(3.0);
    EXPECT_EQ(clock.deadline(10ms), 5s + ns(3333333));

    // Half way through a 2 s wait at ×1, ×2 leaves half a second of real time.
    clock.setSpeed(1.0);
    clock.start();
    time.t += 1s;
    clock.setSpeed(2.0);
    EXPECT_EQ(clock.elapsed(), 1s);
    EXPECT_EQ(clock.deadline(2s), time.t + 500ms);

    EXPECT_THROW(clock.setSpeed(0.0), std::invalid_argument);
    EXPECT_THROW(clock.setSpeed(-1.0), std::invalid_argument);
    EXPECT_THROW(clock.setSpeed(std::nan("")), std::invalid_argument);
    EXPECT_THROW(clock.setSpeed(std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_THROW(PacedClock(time.source(), 0.0), std::invalid_argument);
    EXPECT_THROW(PacedClock(PacedClock::TimeSource{}), std::invalid_argument);
    EXPECT_DOUBLE_EQ(clock.speed(), 2.0);
}

TEST(PacedClock, SlowerAndFasterStepThroughTheSpeedsFromAnyFactor) {
    FakeTime time;
    PacedClock clock(time.source());
    std::vector<double> up;
    while (clock.faster())
        up.push_back(clock.speed());
    EXPECT_EQ(up, (std::vector<double>{2, 4, 8, 16}));
    std::vector<double> down;
    while (clock.slower())
        down.push_back(clock.speed());
    EXPECT_EQ(down, (std::vector<double>{8, 4, 2, 1, 0.5, 0.25}));
    EXPECT_DOUBLE_EQ(clock.speed(), 0.25);
    // From a factor given on the command line, to its neighbours.
    clock.setSpeed(3);
    EXPECT_TRUE(clock.slower());
    EXPECT_DOUBLE_EQ(clock.speed(), 2);
    clock.setSpeed(3);
    EXPECT_TRUE(clock.faster());
    EXPECT_DOUBLE_EQ(clock.speed(), 4);
    clock.setSpeed(100);
    EXPECT_FALSE(clock.faster());
    EXPECT_TRUE(clock.slower());
    EXPECT_DOUBLE_EQ(clock.speed(), 16);
}

TEST(PacedClock, PauseStopsTheTimeAndResumeGoesOnWithoutCatchingUp) {
    FakeTime time;
    PacedClock clock(time.source(), 2.0);
    int changes = 0;
    clock.setListener([&] { ++changes; });
    clock.start();
    time.t += 100ms; // 200 ms of paced time
    const std::uint64_t before = clock.revision();
    clock.pause();
    EXPECT_NE(clock.revision(), before);
    EXPECT_TRUE(clock.paused());
    EXPECT_EQ(clock.deadline(300ms), std::nullopt);
    time.t += 1h;
    EXPECT_EQ(clock.elapsed(), 200ms);
    EXPECT_FALSE(clock.reached(201ms));
    clock.resume();
    // The rest of the 300 ms takes 50 ms at ×2, counted from the resume.
    EXPECT_EQ(clock.deadline(300ms), time.t + 50ms);
    EXPECT_FALSE(clock.reached(300ms));
    time.t += 50ms;
    EXPECT_TRUE(clock.reached(300ms));
    // A curve started while paused starts at zero and stands until resumed.
    clock.pause();
    clock.start();
    time.t += 1s;
    EXPECT_EQ(clock.elapsed(), 0ms);
    clock.togglePause();
    EXPECT_EQ(clock.deadline(10ms), time.t + 5ms);
    EXPECT_EQ(changes, 4);
}

TEST(PacedClock, AStepRunsToTheNextBoundaryAndPausesThere) {
    FakeTime time;
    PacedClock clock(time.source());
    clock.boundary(); // no step asked for: nothing happens
    EXPECT_FALSE(clock.paused());
    clock.pause();
    clock.step();
    EXPECT_FALSE(clock.paused());
    EXPECT_TRUE(clock.stepping());
    time.t += 1s;
    EXPECT_EQ(clock.elapsed(), 1s);
    clock.boundary();
    EXPECT_TRUE(clock.paused());
    EXPECT_FALSE(clock.stepping());
    // Resuming forgets a step; a step from a running clock pauses at the boundary.
    clock.step();
    clock.pause();
    clock.resume();
    clock.boundary();
    EXPECT_FALSE(clock.paused());
    clock.step();
    clock.boundary();
    EXPECT_TRUE(clock.paused());
}

TEST(PacedClock, TheSteadySourceFollowsRealTimeInNanoseconds) {
    PacedClock clock;
    clock.start();
    std::this_thread::sleep_for(20ms);
    EXPECT_GE(clock.elapsed(), 20ms);
    EXPECT_LT(clock.elapsed(), 20s);
    EXPECT_FALSE(clock.reached(60s));
}

// A scripted event loop: a sleep jumps the time to its end, running `during` first,
// as an event handled in the sleep would; a sleep without an end (paused) advances
// the time by `pauseLength`.
struct ScriptedLoop {
    FakeTime time;
    ns pauseLength = 10s;
    std::vector<std::optional<ns>> sleeps;
    int pumps = 0;
    std::function<void(int)> during;
    course::Yield yield() {
        course::Yield y;
        y.pumpOnce = [this] {
            ++pumps;
            return true;
        };
        y.sleep = [this](std::optional<ns> until, const std::function<bool()>& wake) {
            const int k = int(sleeps.size());
            sleeps.push_back(until);
            if (k > 10000)
                return false; // a pause nobody ends
            if (during)
                during(k);
            if (wake())
                return true;
            time.t = until ? std::max(time.t, *until) : time.t + pauseLength;
            return true;
        };
        return y;
    }
};

// A second of 256 points: the points due within a frame are drawn together, so the
// run wakes about once per frame instead of once per point, none is drawn later than
// its slot or more than a frame early, and the next curve starts after the whole
// time of this one.
TEST(PacedWaiter, GathersThePointsOfAFrameAndDrawsNoneLate) {
    ScriptedLoop loop;
    PacedWaiter waiter(PacedClock(loop.time.source()), loop.yield());
    ASSERT_TRUE(waiter.beginTrace());
    const ns t0 = loop.time.t;
    for (int k = 1; k <= 256; ++k) {
        ASSERT_TRUE(waiter.pacedPoint(k * kSlot));
        // Point k + 1 is drawn now.
        ASSERT_LE(loop.time.t, t0 + k * kSlot) << k;
        ASSERT_GE(loop.time.t, t0 + k * kSlot - PacedWaiter::kGather) << k;
    }
    EXPECT_LE(loop.sleeps.size(), std::size_t(1s / PacedWaiter::kGather) + 1);
    EXPECT_GE(loop.sleeps.size(), std::size_t(1s / (PacedWaiter::kGather + kSlot)));
    EXPECT_EQ(loop.pumps, 0) << "each sleep handles the events itself";
    ASSERT_TRUE(waiter.beginTrace());
    EXPECT_EQ(loop.time.t, t0 + 256 * kSlot);
    // A point already due yields once and does not sleep.
    const std::size_t sleeps = loop.sleeps.size();
    loop.time.t += 1s;
    ASSERT_TRUE(waiter.pacedPoint(1 * kSlot));
    EXPECT_EQ(loop.pumps, 1);
    EXPECT_EQ(loop.sleeps.size(), sleeps);

    // Without a window every point waits for its own slot.
    waiter.setGather(ns(0));
    ASSERT_TRUE(waiter.beginTrace());
    const ns t1 = loop.time.t;
    for (int k = 1; k <= 100; ++k) {
        ASSERT_TRUE(waiter.pacedPoint(k * kSlot));
        ASSERT_EQ(loop.time.t, t1 + k * kSlot) << k;
    }
    EXPECT_EQ(loop.sleeps.size(), sleeps + 100);
}

TEST(PacedWaiter, APauseInTheMiddleOfACurveHoldsItAndTheRestKeepsItsPace) {
    ScriptedLoop loop;
    PacedWaiter waiter(PacedClock(loop.time.source()), loop.yield());
    PacedClock& clock = waiter.clock();
    loop.during = [&](int k) {
        if (k == 10)
            clock.pause();
        if (k == 13) // three sleeps of 10 s each while paused
            clock.resume();
    };
    ASSERT_TRUE(waiter.beginTrace());
    const ns t0 = loop.time.t;
    std::vector<ns> leftAt;
    for (int k = 1; k <= 20; ++k) {
        ASSERT_TRUE(waiter.waitUntil(k * 10ms));
        leftAt.push_back(loop.time.t - t0);
    }
    // Points 1..10 at their slots; the pause took 20 s of sleeping (the sleep that
    // saw the resume ends at once); then every point a slot after the one before.
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(leftAt[k - 1], k * 10ms) << k;
    EXPECT_FALSE(loop.sleeps[11].has_value());
    EXPECT_FALSE(loop.sleeps[12].has_value());
    EXPECT_FALSE(loop.sleeps[13].has_value());
    const ns pause = leftAt[10] - 110ms;
    EXPECT_EQ(pause, 20s);
    for (int k = 12; k <= 20; ++k)
        EXPECT_EQ(leftAt[k - 1] - leftAt[k - 2], 10ms) << k;
}

TEST(PacedWaiter, BeginTraceHoldsAPausedRunAndEndsAStep) {
    ScriptedLoop loop;
    PacedWaiter waiter(PacedClock(loop.time.source()), loop.yield());
    PacedClock& clock = waiter.clock();
    clock.pause();
    loop.during = [&](int k) {
        if (k == 2)
            clock.step();
    };
    ASSERT_TRUE(waiter.beginTrace());
    EXPECT_EQ(loop.sleeps.size(), 3u); // two paused sleeps, then the step
    EXPECT_TRUE(clock.stepping());
    for (int k = 1; k <= 5; ++k)
        ASSERT_TRUE(waiter.waitUntil(k * 10ms));
    // The next curve's start is the boundary: the run pauses there until resumed.
    loop.during = [&](int k) {
        if (k == 10)
            clock.resume();
    };
    ASSERT_TRUE(waiter.beginTrace());
    EXPECT_FALSE(clock.paused());
    EXPECT_EQ(loop.sleeps.size(), 11u);
}

TEST(PacedWaiter, CancelledOrEndingStopsTheWaitAndUnpacedNeverWaits) {
    ScriptedLoop loop;
    PacedWaiter waiter(PacedClock(loop.time.source()), loop.yield());
    bool cancelled = false;
    loop.during = [&](int k) { cancelled = k == 3; };
    ASSERT_TRUE(waiter.beginTrace());
    int points = 0;
    while (waiter.waitUntil((points + 1) * 10ms, [&] { return cancelled; }))
        ++points;
    EXPECT_EQ(points, 3);

    // A paused clock is waited out only while waiting is on.
    waiter.clock().pause();
    waiter.setWaits(false);
    const std::size_t sleeps = loop.sleeps.size();
    EXPECT_TRUE(waiter.beginTrace());
    EXPECT_TRUE(waiter.waitUntil(1h));
    EXPECT_EQ(loop.sleeps.size(), sleeps);

    // The end of the program stops a paused wait.
    waiter.setWaits(true);
    course::Environment env;
    env.endHook = [] {};
    waiter.setEnding([&env] { return env.endRequested(); });
    loop.during = [&env](int) { env.End(); };
    EXPECT_FALSE(waiter.beginTrace());
    EXPECT_THROW(waiter.setYield(course::Yield{}), std::invalid_argument);
}

} // namespace
