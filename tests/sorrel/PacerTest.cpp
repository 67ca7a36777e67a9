#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include <hartree/Pacer.h>

using sorrel::Pacer;
using Nanos = Pacer::Nanos;
using namespace std::chrono_literals;

namespace {

struct FakeClock {
    Nanos now{0};
    Pacer::Clock fn() {
        return [this] { return now; };
    }
};

} // namespace

TEST(SorrelPacer, DeadlinesAreExactSlotsFromTheStart) {
    FakeClock clock;
    clock.now = 86'399'990'000'000ns; // a few ms before midnight: no wrap on a monotonic clock
    Pacer pacer(clock.fn());
    pacer.start();
    const Nanos t0 = clock.now;
    EXPECT_EQ(pacer.startInstant(), t0);
    EXPECT_EQ(pacer.deadline(0), t0);
    EXPECT_EQ(pacer.deadline(1), t0 + 3'906'250ns);
    EXPECT_EQ(pacer.deadline(256), t0 + 1s);
    EXPECT_EQ(pacer.deadline(2176 * 256), t0 + 2176s);
    for (int k = 0; k <= 4097; ++k)
        ASSERT_EQ(pacer.deadline(k), t0 + k * 3'906'250ns);
}

TEST(SorrelPacer, ReachedOnlyStrictlyAfterTheDeadline) {
    FakeClock clock;
    clock.now = 5s;
    Pacer pacer(clock.fn());
    pacer.start();
    clock.now = pacer.deadline(10);
    EXPECT_FALSE(pacer.reached(10));
    EXPECT_EQ(pacer.remaining(10), 1ns);
    clock.now += 1ns;
    EXPECT_TRUE(pacer.reached(10));
    EXPECT_EQ(pacer.remaining(10), 0ns);
    EXPECT_FALSE(pacer.reached(11));
    EXPECT_EQ(pacer.remaining(11), 3'906'250ns);
}

TEST(SorrelPacer, LatePointsDoNotShiftLaterSlots) {
    FakeClock clock;
    Pacer pacer(clock.fn());
    pacer.start();
    // Point 3 is drawn 100 ms late; the next slots stay where they were.
    clock.now = pacer.deadline(3) + 100ms;
    EXPECT_TRUE(pacer.reached(3));
    for (int k = 4; k <= 28; ++k)
        EXPECT_TRUE(pacer.reached(k)) << k; // 28 slots ≈ 109 ms
    EXPECT_FALSE(pacer.reached(30));
    EXPECT_EQ(pacer.deadline(30), 30 * 3'906'250ns);
    // A new curve starts its own slots.
    pacer.start();
    EXPECT_EQ(pacer.deadline(1), clock.now + 3'906'250ns);
}

TEST(SorrelPacer, SpeedFactorDividesTheWaits) {
    FakeClock clock;
    clock.now = 1s;
    Pacer twice(clock.fn(), 2.0);
    twice.start();
    EXPECT_EQ(twice.deadline(1), 1s + 1'953'125ns);
    EXPECT_EQ(twice.deadline(512), 2s);
    Pacer fourTimes(clock.fn(), 4.0);
    fourTimes.start();
    EXPECT_EQ(fourTimes.deadline(1024), 2s);
    Pacer third(clock.fn(), 1.0 / 3.0);
    third.start();
    EXPECT_EQ(third.deadline(256), 4s);
    EXPECT_EQ(third.deadline(1), 1s + 11'718'750ns);
}

TEST(SorrelPacer, NoWaitsModeIsAlwaysDue) {
    FakeClock clock;
    Pacer pacer(clock.fn(), 1.0, false);
    pacer.start();
    EXPECT_FALSE(pacer.waits());
    EXPECT_TRUE(pacer.reached(0));
    EXPECT_TRUE(pacer.reached(4097));
    EXPECT_EQ(pacer.remaining(4097), 0ns);
}

TEST(SorrelPacer, RejectsBadSpeedAndMissingClock) {
    FakeClock clock;
    EXPECT_THROW(Pacer(clock.fn(), 0.0), std::invalid_argument);
    EXPECT_THROW(Pacer(clock.fn(), -1.0), std::invalid_argument);
    EXPECT_THROW(Pacer(clock.fn(), std::nan("")), std::invalid_argument);
    EXPECT_THROW(Pacer(clock.fn(), INFINITY), std::invalid_argument);
    EXPECT_THROW(Pacer(Pacer::Clock{}), std::invalid_argument);
}

TEST(SorrelPacer, SteadyClockFollowsRealTimeInNanoseconds) {
    const auto now = Pacer::steadyClock();
    const Nanos a = now();
    std::this_thread::sleep_for(20ms);
    const Nanos passed = now() - a;
    EXPECT_GE(passed, 20ms);
    EXPECT_LT(passed, 20s); // nanoseconds, not some finer unit
}
