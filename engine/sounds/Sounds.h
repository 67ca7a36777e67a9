// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two short sounds of the programs. Both start asynchronously and never block:
// the named wave file when it exists, else the desktop sound theme's event sound.
// Without an audio device they are silent. Which player a window uses is part of
// its Environment.

#include <engine/system/Environment.h>

#include <QString>

#include <functional>

struct ca_context;

namespace course {

class Sounds {
public:
    // Wave file first tried for a sound, and the theme event used when it is missing.
    static QString waveFile(Sound s);
    static QString themeEvent(Sound s);
};

// The desktop's player (libcanberra, which plays on its own thread).
class DesktopSounds {
public:
    DesktopSounds();
    ~DesktopSounds();
    DesktopSounds(const DesktopSounds&) = delete;
    DesktopSounds& operator=(const DesktopSounds&) = delete;

    void play(Sound s);

private:
    ca_context* ctx_ = nullptr; // null: no sound system, silent
};

// An Environment's sound sink that plays on the desktop's player, made at the first
// sound it plays (so a window that never chimes never opens the sound system).
std::function<void(Sound)> desktopPlayer();

} // namespace course
