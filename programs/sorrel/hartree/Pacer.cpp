#include <hartree/Pacer.h>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace sorrel {

Pacer::Clock Pacer::steadyClock() {
    return
        [] { return std::chrono::duration_cast<Nanos>(std::chrono::steady_clock::now().time_since_epoch()); };
}

Pacer::Pacer(Clock clock, double speed, bool waits) : clock_(std::move(clock)), speed_(speed), waits_(waits) {
    if (!clock_)
        throw std::invalid_argument("Pacer: no clock");
    if (!std::isfinite(speed) || !(speed > 0.0))
        throw std::invalid_argument("Pacer: speed must be > 0");
}

void Pacer::start() { t0_ = clock_(); }

Pacer::Nanos Pacer::deadline(std::int64_t k) const {
    if (speed_ == 1.0)
        return t0_ + k * drawDelay; // exact integer arithmetic
    const double offset = static_cast<double>(k) * static_cast<double>(drawDelay.count()) / speed_;
    return t0_ + Nanos(std::llround(offset));
}

bool Pacer::reached(std::int64_t k) const { return !waits_ || clock_() > deadline(k); }

Pacer::Nanos Pacer::remaining(std::int64_t k) const {
    if (!waits_)
        return Nanos(0);
    const Nanos now = clock_();
    const Nanos d = deadline(k);
    return now > d ? Nanos(0) : d - now + Nanos(1);
}

} // namespace sorrel
