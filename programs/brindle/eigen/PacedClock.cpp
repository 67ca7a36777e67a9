#include <brindle/PacedClock.h>

#include <cmath>
#include <stdexcept>

namespace brindle {

std::chrono::nanoseconds SteadyMonotonicClock::now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

const MonotonicClock& steadyMonotonicClock() {
    static const SteadyMonotonicClock clock;
    return clock;
}

PacedClock::PacedClock(const MonotonicClock& clock) : clock_(&clock), t0_(clock.now()) {}

void PacedClock::setSpeed(double factor) {
    if (!std::isfinite(factor) || !(factor > 0.0))
        throw std::invalid_argument("speed factor must be finite and positive");
    speed_ = factor;
}

void PacedClock::start() { t0_ = clock_->now(); }

PacedClock::Duration PacedClock::scaled(double seconds) const {
    return Duration(std::llround(seconds * 1e9 / speed_));
}

PacedClock::Duration PacedClock::stepDeadline(long k) const {
    // k whole steps of 10 ms, scaled once from t0: no rounding error builds up over k.
    return t0_ +
           Duration(std::llround(static_cast<double>(k) * static_cast<double>(kStepNanoseconds) / speed_));
}

PacedClock::Duration PacedClock::deadline(double seconds) const { return t0_ + scaled(seconds); }

PacedClock::Duration PacedClock::left(Duration deadline) const {
    const Duration d = deadline - clock_->now();
    return d > Duration::zero() ? d : Duration::zero();
}

PacedClock::Duration PacedClock::remainingUntilStep(long k) const { return left(stepDeadline(k)); }

PacedClock::Duration PacedClock::remaining(double seconds) const { return left(deadline(seconds)); }

} // namespace brindle
