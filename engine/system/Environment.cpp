// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/system/Environment.h>

#include <cstdio>
#include <cstdlib>

namespace course {

Environment::Environment() = default;
Environment::~Environment() = default;

void Environment::play(Sound s) {
    if (soundSink)
        soundSink(s);
}

void Environment::beep() const {
    if (beepHook)
        beepHook();
}

void Environment::End() {
    ending_ = true;
    if (endHook) {
        endHook();
        return;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace course
