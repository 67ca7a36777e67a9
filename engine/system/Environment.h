// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a program's window takes from the world around it: where its sounds go, the
// system beep, and what ending the program means. One Environment is made in main
// (or in a test) and handed to the window's document (TextRuns::useEnvironment);
// nothing of it is shared by the whole process, so two windows, or two tests, can
// hear and end differently.

#include <functional>

namespace course {

// The two short sounds of the programs.
enum class Sound { Chime, Notify };

class Environment {
public:
    Environment();
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Where chime and notify go; empty: silence. A window's main sets the desktop's
    // player (course::desktopPlayer, asynchronous, silent without an audio device).
    std::function<void(Sound)> soundSink;
    // The system beep; empty: silence. A window's main sets the desktop's beep.
    std::function<void()> beepHook;
    // What End does besides marking the end; empty: the process ends at once
    // (nothing after End runs). Tests count the requests instead.
    std::function<void()> endHook;

    void play(Sound s);
    void chime() { play(Sound::Chime); }
    void notify() { play(Sound::Notify); }
    void beep() const;

    // Ends the program. With an end hook End returns, endRequested() is true from then
    // on, and every paced loop of the window stops at its next yield.
    void End();
    bool endRequested() const { return ending_; }

private:
    bool ending_ = false;
};

} // namespace course
