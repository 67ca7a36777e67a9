// Time slots for the paced drawing of curves: point k of a curve may be left only
// once the clock has passed t0 + k·(1/256 s), where t0 is the instant recorded just
// before the curve's first point. Deadlines are always computed from t0, never by
// adding up waits, so a late point does not push back the ones after it.
//
// The clock is injected and must be monotonic (the default is std::chrono::steady_clock),
// so a run that crosses midnight waits no longer than any other run. A speed factor
// F > 1 divides every wait (F = 2 draws twice as fast); the "no waits" mode makes
// every slot due at once. No Qt: the window pumps its events while it waits.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace sorrel {

class Pacer {
public:
    using Nanos = std::chrono::nanoseconds;
    using Clock = std::function<Nanos()>; // monotonic "now"

    // One time slot, 1/256 s, exactly 3 906 250 ns.
    static constexpr Nanos drawDelay{1'000'000'000 / 256};
    static_assert(drawDelay.count() * 256 == 1'000'000'000);

    static Clock steadyClock();

    // speed must be finite and > 0 (std::invalid_argument otherwise).
    explicit Pacer(Clock clock = steadyClock(), double speed = 1.0, bool waits = true);

    void start(); // records t0 = now()
    Nanos startInstant() const { return t0_; }
    Nanos deadline(std::int64_t k) const;  // t0 + k·drawDelay / speed, rounded to whole ns
    bool reached(std::int64_t k) const;    // no waits, or now() strictly past deadline(k)
    Nanos remaining(std::int64_t k) const; // how long until reached(k) turns true; 0 if it is

    double speed() const { return speed_; }
    bool waits() const { return waits_; }

private:
    Clock clock_;
    double speed_;
    bool waits_;
    Nanos t0_{0};
};

} // namespace sorrel
