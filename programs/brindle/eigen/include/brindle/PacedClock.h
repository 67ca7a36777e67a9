// Pacing of the traced drawing on brindle's live page.  Every wait is measured
// from a recorded start instant t0 (deadline t0 + 0.01*k for step k), so the
// time spent drawing never accumulates.  The page asks for the time left until
// a deadline and sleeps in its event loop meanwhile.  A monotonic clock is
// used, so a run that crosses midnight waits no longer than any other.
#pragma once

#include <chrono>

namespace brindle {

// Source of monotonic time, injectable for tests.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::chrono::nanoseconds now() const = 0;
};

// std::chrono::steady_clock.
class SteadyMonotonicClock final : public MonotonicClock {
public:
    std::chrono::nanoseconds now() const override;
};

// Shared steady-clock instance (the default clock of PacedClock).
const MonotonicClock& steadyMonotonicClock();

class PacedClock {
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr double kStepSeconds = 0.01;              // one traced grid step
    static constexpr long long kStepNanoseconds = 10'000'000; // the same in ns

    // The clock must outlive the PacedClock.
    explicit PacedClock(const MonotonicClock& clock = steadyMonotonicClock());

    // Speed factor F: every wait is divided by F (F = 1 is the normal pace).
    // Throws std::invalid_argument unless F is finite and positive.
    void setSpeed(double factor);
    double speed() const { return speed_; }

    // Records the start instant t0 = now.
    void start();
    Duration startInstant() const { return t0_; }

    // Absolute clock readings of the deadlines: t0 + 0.01*k/F and t0 + seconds/F.
    Duration stepDeadline(long k) const;
    Duration deadline(double seconds) const;

    // Time left until those deadlines (zero when passed).
    Duration remainingUntilStep(long k) const;
    Duration remaining(double seconds) const;

    bool stepDue(long k) const { return remainingUntilStep(k) == Duration::zero(); }

private:
    Duration scaled(double seconds) const;
    Duration left(Duration deadline) const;

    const MonotonicClock* clock_;
    double speed_ = 1.0;
    Duration t0_{0};
};

} // namespace brindle
