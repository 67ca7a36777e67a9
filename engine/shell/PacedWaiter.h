#pragma once
// How a paced drawing waits: on a PacedClock, sleeping in the window's event loop
// until the point's deadline, so that keys, clicks, repaints and the close request
// are handled meanwhile. While the clock is paused it sleeps without a timer until an
// event changes that. brindle's live page and sorrel's curves both wait here.

#include <course/pacing/PacedClock.h>

#include <functional>
#include <optional>

namespace course {

// How a paced run reaches the event loop; tests put in their own.
struct Yield {
    using Nanos = PacedClock::Nanos;
    // Handles pending events now. False: the run has to stop (the program is ending).
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
    // After a point: yields once, then waits until `offset`.
    // A point gathered with the next ones (see drawAhead) does not yield.
    bool pacedPoint(Nanos offset, const Cancelled& cancelled = {}) {
        return drawAhead(offset) || (pumpOnce() && waitUntil(offset, cancelled));
    }

    // Above ×1 the points come faster than the view shows them (one frame per 20 ms):
    // a point due within kGather of real time is drawn at once with the ones before it,
    // so the process wakes about once per kGather instead of once per point. The run
    // still lasts as long: the next curve first waits for the latest deadline drawn
    // ahead of its time. At ×1 and below every point keeps its own slot.
    static constexpr Nanos kGather{4'000'000};

private:
    // Sleeps once towards `offset` (or while paused); false: stop.
    bool sleepTowards(std::optional<Nanos> offset, const Cancelled& cancelled);
    // True when the point at `offset` is gathered (drawn ahead, its deadline owed).
    bool drawAhead(Nanos offset);
    // Sleeps until the curve's time has reached `offset`. False: stop.
    bool reach(Nanos offset, const Cancelled& cancelled);

    PacedClock clock_;
    Yield yield_;
    bool waits_ = true;
    std::optional<Nanos> owed_; // the latest deadline drawn ahead of its time
};

} // namespace course
