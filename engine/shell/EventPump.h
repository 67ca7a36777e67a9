#pragma once
// Yielding to the event loop during long drawing, and ending the program at once.

#include <chrono>
#include <functional>

namespace course {

using SteadyTime = std::chrono::steady_clock::time_point;

// Handles pending window events now (keys, clicks, close, repaint), then returns.
void DoEvents();

// Sleeps in the event loop until `deadline` on the monotonic clock, handling every
// event as it arrives; no busy waiting. Returns early, with false, once the program
// is ending or `cancelled` says so.
bool pumpUntil(SteadyTime deadline, const std::function<bool()>& cancelled = {});

// Sleeps in the event loop without a timer until `wake` says so, handling every event
// as it arrives (a paused run: only an event can resume it). Returns false once the
// program is ending.
bool pumpUntilWoken(const std::function<bool()>& wake);

// Ends the program at once: nothing after the call runs. Tests install a hook that
// records the request instead; then End returns and endRequested() is true, and
// every paced loop stops at its next yield.
void End();
bool endRequested();
void setEndHook(std::function<void()> hook);
void resetEndRequest();

} // namespace course
