#pragma once
// The two short sounds of the programs. Both start asynchronously and never block:
// the named wave file when it exists, else the desktop sound theme's event sound.
// Without an audio device they are silent.

#include <QString>

#include <functional>

namespace course {

enum class Sound { Chime, Notify };

class Sounds {
public:
    static void chime();
    static void notify();
    static void play(Sound s);
    // Tests and the text modes replace the player; an empty function restores it.
    static void setSink(std::function<void(Sound)> sink);
    // Wave file first tried for a sound, and the theme event used when it is missing.
    static QString waveFile(Sound s);
    static QString themeEvent(Sound s);
};

} // namespace course
