// SPDX-License-Identifier: GPL-3.0-or-later
#include <engine/sounds/Sounds.h>
#include <engine/system/Environment.h>

#include <engine/formula/Typesetter.h>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace course;

TEST(Sounds, ChimeAndNotifyReachTheEnvironmentsSinkInOrder) {
    std::vector<Sound> heard;
    Environment env;
    env.soundSink = [&](Sound s) { heard.push_back(s); };
    env.chime();
    env.notify();
    EXPECT_EQ(heard, (std::vector<Sound>{Sound::Chime, Sound::Notify}));
    // Another environment is not affected: nothing of it is process-wide.
    Environment other;
    std::vector<Sound> elsewhere;
    other.soundSink = [&](Sound s) { elsewhere.push_back(s); };
    other.notify();
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(elsewhere, (std::vector<Sound>{Sound::Notify}));
}

TEST(Sounds, EndIsRequestedPerEnvironment) {
    Environment a;
    Environment b;
    int ends = 0;
    a.endHook = [&] { ++ends; };
    a.End();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(a.endRequested());
    EXPECT_FALSE(b.endRequested());
    // A typesetter beeps through its environment, silent without a hook.
    Typesetter t;
    t.beep();
    int beeps = 0;
    t.env().beepHook = [&] { ++beeps; };
    t.beep();
    t.useEnvironment(a);
    t.beep();
    EXPECT_EQ(beeps, 1);
}

TEST(Sounds, NamedWaveFileFirstThenTheDesktopThemeEvent) {
    EXPECT_TRUE(Sounds::waveFile(Sound::Chime).endsWith(QStringLiteral("chimes.wav")));
    EXPECT_TRUE(Sounds::waveFile(Sound::Notify).endsWith(QStringLiteral("notify.wav")));
    EXPECT_EQ(Sounds::themeEvent(Sound::Chime), QStringLiteral("complete"));
    EXPECT_EQ(Sounds::themeEvent(Sound::Notify), QStringLiteral("message"));
}

TEST(Sounds, PlayingNeverBlocksTheCaller) {
    // Whether or not this machine has an audio device, the call returns at once.
    const auto t0 = std::chrono::steady_clock::now();
    Environment env;
    env.soundSink = desktopPlayer();
    for (int i = 0; i < 3; ++i)
        env.chime();
    env.notify();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
}
