#pragma once
// Paced plotting of one curve: after drawing point k the window yields to its event
// loop at least once, then keeps yielding until the slot of point k (k/256 s after
// the curve's start, on a monotonic clock) has passed. Waiting sleeps in the event
// loop; it never spins.

#include <hartree/Pacer.h>

#include <cstdint>
#include <functional>

namespace sorrel {

class CurvePacer {
public:
    using Nanos = Pacer::Nanos;

    // How the pacer reaches the event loop. Both return false when the drawing has to
    // stop (the window adds its own reasons: the program is ending, another charge).
    struct Yield {
        std::function<bool()> pumpOnce;      // handle pending events now
        std::function<bool(Nanos)> sleepFor; // sleep that long, handling events meanwhile
    };
    // The window's event loop (course::DoEvents / course::pumpUntil).
    static Yield eventLoop();
    // No event handling at all (the drawing is computed for an export, not shown).
    static Yield none();

    CurvePacer(Pacer pacer, Yield yield);

    // Records the start of a curve (the instant just before its first point).
    void start() { pacer_.start(); }
    // Yields once. False when the program is ending.
    bool pumpOnce();
    // Sleeps in the event loop until slot k of the current curve has passed.
    bool waitSlot(std::int64_t k);
    // After point k of a curve: yield once, then until slot k has passed.
    bool pacedPoint(std::int64_t k);

    const Pacer& pacer() const { return pacer_; }

private:
    Pacer pacer_;
    Yield yield_;
};

} // namespace sorrel
