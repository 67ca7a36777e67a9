#include <course/textruns/Sounds.h>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace course;

TEST(Sounds, ChimeAndNotifyReachTheSinkInOrder) {
    std::vector<Sound> heard;
    Sounds::setSink([&](Sound s) { heard.push_back(s); });
    Sounds::chime();
    Sounds::notify();
    Sounds::setSink({});
    EXPECT_EQ(heard, (std::vector<Sound>{Sound::Chime, Sound::Notify}));
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
    for (int i = 0; i < 3; ++i)
        Sounds::chime();
    Sounds::notify();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
}
