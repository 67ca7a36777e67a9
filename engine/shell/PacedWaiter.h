// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a paced drawing waits: on a PacedClock, sleeping in the window's event loop
// until the point's deadline, so that keys, clicks, repaints and the close request
// are handled meanwhile. While the clock is paused it sleeps without a timer until an
// event changes that. brindle's live page and sorrel's curves both wait here.

#include <engine/pacing/PacedClock.h>

#include <functional>
#include <optional>

namespace course {

// How a paced run reaches the event loop; tests put in their own.
struct Yield {
    using Nanos = PacedClock::Nanos;
    // Handles pending events now. False: the run has to stop.
    std::function<bool()> pumpOnce;
    // Sleeps, handling events, until the clock's time source reads `until` (without
    // one: until an event has changed things) or `wake` is true. False: stop.
    std::function<bool(std::optional<Nanos> until, const std::function<bool()>& wake)> sleep;

    // The window's event loop (DoEvents, pumpUntil, pumpUntilWoken) on the steady clock.
    static Yield eventLoop();
    // No event handling at all (a drawing computed for an export, not shown).
    static Yield none();
};

class PacedWaiter {
public:
    using Nanos = PacedClock::Nanos;
    using Cancelled = std::function<bool()>;

    explicit PacedWaiter(PacedClock clock = PacedClock(), Yield yield = Yield::eventLoop());

    PacedClock& clock() { return clock_; }
    const PacedClock& clock() const { return clock_; }
    // Tests replace the event loop (and the clock's time source) before a run starts.
    void setYield(Yield yield);

    // Whether the program is ending (the window's Environment::endRequested): every
    // wait stops then. Unset: never.
    void setEnding(std::function<bool()> ending) { ending_ = std::move(ending); }

    // Without waits every deadline is due at once and nothing pauses (an unpaced run).
    void setWaits(bool waits) { waits_ = waits; }
    bool waits() const { return waits_; }

    // The start of a curve, a natural boundary: a step ends here, a paused clock is
    // waited out in the event loop, then the curve's time starts. False: stop.
    bool beginTrace(const Cancelled& cancelled = {});
    // Handles pending events once. False: stop.
    bool pumpOnce();
    // Sleeps in the event loop until the curve's time has reached `offset` (at once
    // when it has). False, possibly early, when the run has to stop: the yield said
    // so, the program is ending or `cancelled` is true.
    bool waitUntil(Nanos offset, const Cancelled& cancelled = {});
    // After a point: the next one comes once the curve's time has reached `offset`.
    // A point due within kGather is drawn at once (see drawAhead); one already due
    // yields to the event loop once; otherwise the run sleeps in the event loop.
    bool pacedPoint(Nanos offset, const Cancelled& cancelled = {});

    // The screen shows a frame about every 16 ms (60 Hz), and the view gathers what
    // was drawn between two yields into one. Waking for every point would cost a
    // wake-up, a repaint and a trip to the display per point (256 a second for
    // sorrel's curves) for nothing the eye can see: a point due within kGather of
    // real time is drawn at once with the ones before it, so the process wakes at
    // most once per kGather at any speed, and every point is on the screen within a
    // frame of its time. The run still lasts as long: the next curve first waits for
    // the latest deadline drawn ahead of its time.
    static constexpr Nanos kGather{16'000'000};
    // How far ahead of real time a point may be drawn (kGather unless set; zero: every
    // point waits for its own time).
    void setGather(Nanos window) { gather_ = window; }
    Nanos gather() const { return gather_; }

private:
    // Sleeps once towards `offset` (or while paused); false: stop.
    bool sleepTowards(std::optional<Nanos> offset, const Cancelled& cancelled);
    // True when the point at `offset` is gathered (drawn ahead, its deadline owed).
    bool drawAhead(Nanos offset);
    // Sleeps until the curve's time has reached `offset`. False: stop.
    bool reach(Nanos offset, const Cancelled& cancelled);

    bool ending() const;

    PacedClock clock_;
    Yield yield_;
    std::function<bool()> ending_;
    bool waits_ = true;
    Nanos gather_ = kGather;
    std::optional<Nanos> owed_; // the latest deadline drawn ahead of its time
    Nanos lastYield_{0};        // the time source's reading at the latest yield
};

} // namespace course
