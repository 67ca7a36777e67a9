// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/shell/PacedWaiter.h>

#include <engine/shell/EventPump.h>
#include <engine/system/VectorState.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace course {

Yield Yield::eventLoop() {
    Yield y;
    y.pumpOnce = [] {
        DoEvents();
        return true;
    };
    y.sleep = [](std::optional<Nanos> until, const std::function<bool()>& wake) {
        if (!until) {
            pumpUntilWoken(wake);
            return true;
        }
        const SteadyTime t(std::chrono::duration_cast<std::chrono::steady_clock::duration>(*until));
        pumpUntil(t, wake);
        return true;
    };
    return y;
}

Yield Yield::none() {
    Yield y;
    y.pumpOnce = [] { return true; };
    y.sleep = [](std::optional<Nanos>, const std::function<bool()>&) { return true; };
    return y;
}

PacedWaiter::PacedWaiter(PacedClock clock, Yield yield) : clock_(std::move(clock)) {
    setYield(std::move(yield));
}

void PacedWaiter::setYield(Yield yield) {
    if (!yield.pumpOnce || !yield.sleep)
        throw std::invalid_argument("PacedWaiter: incomplete event-loop hooks");
    yield_ = std::move(yield);
}

bool PacedWaiter::sleepTowards(std::optional<Nanos> offset, const Cancelled& cancelled) {
    // A pause, a step or a new speed wakes the sleeper: its deadline has moved.
    const std::uint64_t revision = clock_.revision();
    const auto wake = [&] { return clock_.revision() != revision || ending() || (cancelled && cancelled()); };
    const std::optional<Nanos> until = offset ? clock_.deadline(*offset) : std::nullopt;
    const bool slept = yield_.sleep(until, wake);
    // The event loop's handlers leave the vector registers as Qt left them.
    clearUpperVectorState();
    lastYield_ = clock_.now();
    if (!slept || ending())
        return false;
    return !(cancelled && cancelled());
}

bool PacedWaiter::drawAhead(Nanos offset) {
    if (!waits_ || clock_.paused() || clock_.stepping())
        return false;
    const std::optional<Nanos> due = clock_.deadline(offset);
    const Nanos now = clock_.now();
    // A run behind its time draws its overdue points together too, but still yields
    // once a frame.
    if (!due || *due - now > gather_ || now - lastYield_ >= gather_)
        return false;
    owed_ = std::max(owed_.value_or(offset), offset);
    return true;
}

bool PacedWaiter::reach(Nanos offset, const Cancelled& cancelled) {
    while (!clock_.reached(offset))
        if (!sleepTowards(offset, cancelled))
            return false;
    if (owed_ && *owed_ <= offset)
        owed_.reset();
    return true;
}

bool PacedWaiter::beginTrace(const Cancelled& cancelled) {
    if (!waits_)
        return true;
    if (owed_) {
        const Nanos owed = *owed_;
        if (!reach(owed, cancelled))
            return false;
        owed_.reset();
    }
    clock_.boundary();
    while (clock_.paused())
        if (!sleepTowards(std::nullopt, cancelled))
            return false;
    clock_.start();
    // The frame gathering starts afresh with the curve.
    lastYield_ = clock_.now();
    return true;
}

bool PacedWaiter::pacedPoint(Nanos offset, const Cancelled& cancelled) {
    if (drawAhead(offset))
        return true;
    if (!waits_)
        return pumpOnce();
    // A sleep handles the pending events itself: only a point already due yields here.
    if (clock_.reached(offset) && !pumpOnce())
        return false;
    return reach(offset, cancelled);
}

bool PacedWaiter::pumpOnce() {
    const bool go = yield_.pumpOnce();
    clearUpperVectorState();
    lastYield_ = clock_.now();
    return go && !ending();
}

bool PacedWaiter::ending() const { return ending_ && ending_(); }

bool PacedWaiter::waitUntil(Nanos offset, const Cancelled& cancelled) {
    return !waits_ || reach(offset, cancelled);
}

} // namespace course
