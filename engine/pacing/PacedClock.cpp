// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/pacing/PacedClock.h>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace course {

namespace {
void checkSpeed(double factor) {
    if (!std::isfinite(factor) || !(factor > 0.0))
        throw std::invalid_argument("speed factor must be finite and positive");
}
} // namespace

PacedClock::TimeSource PacedClock::steadyTimeSource() {
    return
        [] { return std::chrono::duration_cast<Nanos>(std::chrono::steady_clock::now().time_since_epoch()); };
}

PacedClock::PacedClock(TimeSource source, double speed) : source_(std::move(source)), speed_(speed) {
    if (!source_)
        throw std::invalid_argument("PacedClock: no time source");
    checkSpeed(speed);
    origin_ = source_();
}

void PacedClock::setTimeSource(TimeSource source) {
    if (!source)
        throw std::invalid_argument("PacedClock: no time source");
    source_ = std::move(source);
    pausedElapsed_ = Nanos(0);
    origin_ = source_();
}

PacedClock::Nanos PacedClock::scaled(Nanos paced) const {
    if (speed_ == 1.0)
        return paced; // exact integer arithmetic
    return Nanos(std::llround(static_cast<double>(paced.count()) / speed_));
}

void PacedClock::changed() {
    ++revision_;
    if (listener_)
        listener_();
}

void PacedClock::setSpeed(double factor) {
    checkSpeed(factor);
    if (factor == speed_)
        return;
    if (paused_) {
        speed_ = factor;
    } else {
        const Nanos e = elapsed();
        speed_ = factor;
        origin_ = now() - scaled(e);
    }
    changed();
}

bool PacedClock::slower() {
    for (auto it = std::rbegin(kSpeeds); it != std::rend(kSpeeds); ++it)
        if (*it < speed_ * (1 - 1e-9)) {
            setSpeed(*it);
            return true;
        }
    return false;
}

bool PacedClock::faster() {
    for (double f : kSpeeds)
        if (f > speed_ * (1 + 1e-9)) {
            setSpeed(f);
            return true;
        }
    return false;
}

void PacedClock::pause() {
    stepping_ = false;
    if (!paused_) {
        pausedElapsed_ = elapsed();
        paused_ = true;
    }
    changed();
}

void PacedClock::resume() {
    stepping_ = false;
    if (paused_) {
        origin_ = now() - scaled(pausedElapsed_);
        paused_ = false;
    }
    changed();
}

void PacedClock::step() {
    if (paused_) {
        origin_ = now() - scaled(pausedElapsed_);
        paused_ = false;
    }
    stepping_ = true;
    changed();
}

void PacedClock::boundary() {
    if (stepping_)
        pause();
}

void PacedClock::start() {
    if (paused_)
        pausedElapsed_ = Nanos(0);
    else
        origin_ = now();
}

PacedClock::Nanos PacedClock::elapsed() const {
    if (paused_)
        return pausedElapsed_;
    const Nanos real = now() - origin_;
    if (speed_ == 1.0)
        return real;
    return Nanos(std::llround(static_cast<double>(real.count()) * speed_));
}

bool PacedClock::reached(Nanos offset) const {
    if (paused_)
        return pausedElapsed_ >= offset;
    return now() >= origin_ + scaled(offset);
}

std::optional<PacedClock::Nanos> PacedClock::deadline(Nanos offset) const {
    if (paused_)
        return std::nullopt;
    return origin_ + scaled(offset);
}

} // namespace course
