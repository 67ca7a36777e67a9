#include "CurvePacer.h"

#include <course/shell/EventPump.h>

#include <stdexcept>
#include <utility>

namespace sorrel {

CurvePacer::Yield CurvePacer::eventLoop() {
    Yield y;
    y.pumpOnce = [] {
        course::DoEvents();
        return true;
    };
    y.sleepFor = [](Nanos d) {
        return course::pumpUntil(std::chrono::steady_clock::now() +
                                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(d));
    };
    return y;
}

CurvePacer::Yield CurvePacer::none() {
    Yield y;
    y.pumpOnce = [] { return true; };
    y.sleepFor = [](Nanos) { return true; };
    return y;
}

CurvePacer::CurvePacer(Pacer pacer, Yield yield) : pacer_(std::move(pacer)), yield_(std::move(yield)) {
    if (!yield_.pumpOnce || !yield_.sleepFor)
        throw std::invalid_argument("CurvePacer: incomplete event-loop hooks");
}

bool CurvePacer::pumpOnce() { return yield_.pumpOnce(); }

bool CurvePacer::waitSlot(std::int64_t k) {
    while (!pacer_.reached(k)) {
        if (!yield_.sleepFor(pacer_.remaining(k)))
            return false;
    }
    return true;
}

bool CurvePacer::pacedPoint(std::int64_t k) { return pumpOnce() && waitSlot(k); }

} // namespace sorrel
