#include <course/shell/PacedWaiter.h>

#include <course/shell/EventPump.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace course {

Yield Yield::eventLoop() {
    Yield y;
    y.pumpOnce = [] {
        DoEvents();
        return !endRequested();
    };
    y.sleep = [](std::optional<Nanos> until, const std::function<bool()>& wake) {
        if (!until)
            return pumpUntilWoken(wake);
        const SteadyTime t(std::chrono::duration_cast<std::chrono::steady_clock::duration>(*until));
        pumpUntil(t, wake);
        return !endRequested();
    };
    return y;
}

Yield Yield::none() {
    Yield y;
    y.pumpOnce = [] { return !endRequested(); };
    y.sleep = [](std::optional<Nanos>, const std::function<bool()>&) { return !endRequested(); };
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
    const auto wake = [&] { return clock_.revision() != revision || (cancelled && cancelled()); };
    const std::optional<Nanos> until = offset ? clock_.deadline(*offset) : std::nullopt;
    if (!yield_.sleep(until, wake) || endRequested())
        return false;
    return !(cancelled && cancelled());
}

bool PacedWaiter::drawAhead(Nanos offset) {
    if (!waits_ || clock_.paused() || clock_.stepping() || !(clock_.speed() > 1))
        return false;
    const std::optional<Nanos> due = clock_.deadline(offset);
    if (!due || *due - clock_.now() > kGather)
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
    return true;
}

bool PacedWaiter::pumpOnce() { return yield_.pumpOnce(); }

bool PacedWaiter::waitUntil(Nanos offset, const Cancelled& cancelled) {
    if (!waits_ || drawAhead(offset))
        return true;
    return reach(offset, cancelled);
}

} // namespace course
