// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Yielding to the event loop during long drawing. (Ending the program is the
// window's Environment::End.)

#include <chrono>
#include <functional>

namespace course {

using SteadyTime = std::chrono::steady_clock::time_point;

// Handles pending window events now (keys, clicks, close, repaint), then returns.
void DoEvents();

// Sleeps in the event loop until `deadline` on the monotonic clock, handling every
// event as it arrives; no busy waiting. Returns early, with false, once `cancelled`
// says so (a run that was cancelled, a program that is ending).
bool pumpUntil(SteadyTime deadline, const std::function<bool()>& cancelled = {});

// Sleeps in the event loop without a timer until `wake` says so, handling every event
// as it arrives (a paused run: only an event can resume it; ending the program is one).
void pumpUntilWoken(const std::function<bool()>& wake);

} // namespace course
