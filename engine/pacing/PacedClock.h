// SPDX-License-Identifier: GPL-3.0-or-later
// The clock of a paced drawing. A paced run traces a curve one point at a time and
// leaves point k only once the curve's own time has reached k steps after the
// instant the curve began (t0); deadlines are always measured from t0, never by
// adding up waits, so a late point does not push back the ones after it.
//
// The curve's time is paced time: it runs at speed() times the rate of the time
// source, stands still while paused, and a change of speed or a pause keeps the time
// already elapsed, so the points after a pause of any length neither rush nor lag.
// Stepping lets a paused run go on to its next natural boundary (the start of its
// next curve, which the run announces with boundary()) and pauses it there.
//
// The time source is injected and must be monotonic (the default reads
// std::chrono::steady_clock), so a run that crosses midnight waits no longer than
// any other. No Qt: the windows sleep in their event loop until deadline() comes.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace course {

class PacedClock {
public:
    using Nanos = std::chrono::nanoseconds;
    using TimeSource = std::function<Nanos()>; // monotonic "now"

    static TimeSource steadyTimeSource();

    // The speeds that slower() and faster() step through: ×¼ … ×16.
    static constexpr double kSpeeds[] = {0.25, 0.5, 1, 2, 4, 8, 16};

    // speed must be finite and > 0 (std::invalid_argument otherwise, also for an
    // empty time source).
    explicit PacedClock(TimeSource source = steadyTimeSource(), double speed = 1.0);

    // Every wait is divided by the speed (2 draws twice as fast). A change keeps the
    // paced time elapsed in the current curve.
    void setSpeed(double factor);
    double speed() const { return speed_; }
    // The next speed of kSpeeds below / above the present one; false (and no change)
    // when there is none.
    bool slower();
    bool faster();

    void pause();
    void resume();
    void togglePause() { paused_ ? resume() : pause(); }
    bool paused() const { return paused_; }
    // Runs on to the next boundary() and pauses there (also from a running clock).
    void step();
    bool stepping() const { return stepping_; }
    // A natural boundary of the run (a curve is about to begin): a step ends here.
    void boundary();

    // Changes with every pause, resume, step and change of speed: a sleeper wakes to
    // compute its deadline again.
    std::uint64_t revision() const { return revision_; }
    // Called after each such change (the window shows the new state).
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // The start of a curve: its time t0 is the paced present.
    void start();
    // Paced time elapsed since start().
    Nanos elapsed() const;
    // Whether the curve's time has reached `offset` after t0.
    bool reached(Nanos offset) const;
    // The reading of the time source at which it will have, at the present speed;
    // none while paused (the time stands still).
    std::optional<Nanos> deadline(Nanos offset) const;

    Nanos now() const { return source_(); }
    // Another time source (tests); the present curve starts again.
    void setTimeSource(TimeSource source);

private:
    Nanos scaled(Nanos paced) const;
    void changed();

    TimeSource source_;
    double speed_ = 1.0;
    bool paused_ = false;
    bool stepping_ = false;
    Nanos origin_{0};        // source reading at which the curve's time was 0 (running)
    Nanos pausedElapsed_{0}; // the curve's time while paused
    std::uint64_t revision_ = 0;
    std::function<void()> listener_;
};

} // namespace course
