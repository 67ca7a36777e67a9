#include <chrono>
#include <limits>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include <brindle/PacedClock.h>

namespace brindle {
namespace {

using namespace std::chrono_literals;
using ns = std::chrono::nanoseconds;

struct FakeClock : MonotonicClock {
    ns t{5s};
    ns now() const override { return t; }
};

TEST(BrindlePacedClock, DeadlinesAreMeasuredFromTheStartInstant) {
    FakeClock clock;
    PacedClock pace(clock);
    clock.t = 123ms;
    pace.start();
    EXPECT_EQ(pace.startInstant(), 123ms);
    EXPECT_EQ(pace.stepDeadline(1), 133ms);
    EXPECT_EQ(pace.stepDeadline(416), 123ms + 4160ms);
    EXPECT_EQ(pace.deadline(2.0), 2123ms);

    // Slow drawing does not push later deadlines back: after a step that
    // overran by 25 ms, the next wait is only what is left of its own slot.
    clock.t = 123ms + 35ms;
    EXPECT_EQ(pace.remainingUntilStep(3), 0ms);
    EXPECT_TRUE(pace.stepDue(3));
    EXPECT_EQ(pace.remainingUntilStep(4), 5ms);
    EXPECT_FALSE(pace.stepDue(4));

    // Many steps: the deadline of step k is exactly t0 + k * 10 ms.
    for (long k = 0; k <= 100000; k += 997)
        EXPECT_EQ(pace.stepDeadline(k), 123ms + k * 10ms);

    // A new start moves every deadline with it.
    clock.t = 10s;
    pace.start();
    EXPECT_EQ(pace.remainingUntilStep(224), 2240ms);
    EXPECT_EQ(pace.remaining(2.0), 2s);
    clock.t = 13s;
    EXPECT_EQ(pace.remaining(2.0), 0ms);
}

TEST(BrindlePacedClock, SpeedFactorDividesWaits) {
    FakeClock clock;
    PacedClock pace(clock);
    pace.setSpeed(4.0);
    pace.start();
    EXPECT_EQ(pace.stepDeadline(640), 5s + 1600ms);
    EXPECT_EQ(pace.remaining(2.0), 500ms);
    pace.setSpeed(0.5);
    EXPECT_EQ(pace.remainingUntilStep(1), 20ms);
    pace.setSpeed(3.0);
    EXPECT_EQ(pace.stepDeadline(3), 5s + 10ms);
    EXPECT_EQ(pace.stepDeadline(1), 5s + ns(3333333));
    EXPECT_THROW(pace.setSpeed(0.0), std::invalid_argument);
    EXPECT_THROW(pace.setSpeed(-1.0), std::invalid_argument);
    EXPECT_THROW(pace.setSpeed(std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_DOUBLE_EQ(pace.speed(), 3.0);
}

TEST(BrindlePacedClock, WithoutAClockGivenItRunsOnRealTimeInNanoseconds) {
    PacedClock pace;
    pace.start();
    std::this_thread::sleep_for(30ms);
    // A second's deadline has about 970 ms left: real time passed, counted in ns.
    const ns left = pace.remainingUntilStep(100);
    EXPECT_LE(left, 970ms);
    EXPECT_GT(left, 0ms);
    EXPECT_GE(steadyMonotonicClock().now() - pace.startInstant(), 30ms);
}

} // namespace
} // namespace brindle
