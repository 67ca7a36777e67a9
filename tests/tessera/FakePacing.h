// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fake event loop on a fake clock for tessera's live page: a sleep wakes at once with
// the clock moved to its deadline, so a paced run of forty seconds takes as long as its
// drawing. `during(k)` runs inside the k-th sleep (from 0), as an event handler would;
// a sleep that it wakes (a pause, a step, a cancelled run) ends without moving the clock.

#include "TesseraDocument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace tessera::testing {

using std::chrono::nanoseconds;
using namespace std::chrono_literals;

class FakePacer {
public:
    nanoseconds t = 1000s;
    std::vector<nanoseconds> deadlines; // of the timed sleeps
    int pausedSleeps = 0;
    int calls = 0;
    std::function<void(int)> during;

    void attach(TesseraDocument& doc) {
        doc.pacing().clock().setTimeSource([this] { return t; });
        course::Yield y;
        y.pumpOnce = [] { return true; };
        y.sleep = [this](std::optional<nanoseconds> until, const std::function<bool()>& wake) {
            const int k = calls++;
            if (until)
                deadlines.push_back(*until);
            else if (++pausedSleeps > 1000) {
                ADD_FAILURE() << "a pause nobody ends";
                return false;
            }
            if (during)
                during(k);
            if (wake())
                return true;
            t = until ? std::max(t, *until) : t + 1s;
            return true;
        };
        doc.pacing().setYield(std::move(y));
        doc.pacing().setGather(0ns);
    }
    int sleeps() const { return int(deadlines.size()); }
};

} // namespace tessera::testing
