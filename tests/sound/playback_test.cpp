// The SDL player on SDL's dummy audio driver, which takes audio at the real rate without a sound
// card, and on a driver that does not exist, which stands for a machine without sound.

#include "sound/playback/sdl_sound_output.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace {

using namespace sound_testing;
using Clock = std::chrono::steady_clock;

class SdlPlaybackTest : public ::testing::Test {
protected:
    SdlPlaybackTest() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

    // An 8-bit mono WAV file of `milliseconds` of silence at 8000 Hz.
    std::filesystem::path silence(const char* name, std::uint32_t milliseconds)
    {
        const std::uint32_t length = 8 * milliseconds;
        const std::uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                         'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                         0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0,
                                         'd', 'a', 't', 'a', 0, 0, 0, 0};
        Bytes wave(44 + length, 0x80);
        std::copy(std::begin(header), std::end(header), wave.begin());
        for (int i = 0; i < 4; ++i) {
            wave[4 + i] = static_cast<std::uint8_t>((length + 36) >> (8 * i));
            wave[40 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        }
        writeFile(folder_ / name, wave);
        return folder_ / name;
    }

    testing_doubles::ScratchFolder scratch_;
    const std::filesystem::path folder_ = scratch_.path();
};

TEST_F(SdlPlaybackTest, PlaysAsynchronouslyAndWaitsForTheEnd)
{
    sound::SdlSoundOutput output;
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(output.play(silence("short.wav", 300)), sound::PlayStart::Started);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(250));  // returned at once
    EXPECT_TRUE(output.playing());
    output.waitUntilFinished();
    EXPECT_FALSE(output.playing());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
}

TEST_F(SdlPlaybackTest, ANewPlayStopsTheOneBefore)
{
    sound::SdlSoundOutput output;
    ASSERT_EQ(output.play(silence("long.wav", 5000)), sound::PlayStart::Started);
    const Clock::time_point start = Clock::now();
    ASSERT_EQ(output.play(silence("short.wav", 100)), sound::PlayStart::Started);
    output.waitUntilFinished();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    output.stop();
    EXPECT_FALSE(output.playing());
}

TEST_F(SdlPlaybackTest, FilesThatAreNoWaveAreUnplayable)
{
    sound::SdlSoundOutput output;
    writeFile(folder_ / "text.wav", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    EXPECT_EQ(output.play(folder_ / "text.wav"), sound::PlayStart::Unplayable);
    EXPECT_EQ(output.play(folder_ / "missing.wav"), sound::PlayStart::Unplayable);
    EXPECT_FALSE(output.playing());
    output.waitUntilFinished();  // nothing to wait for
}

TEST_F(SdlPlaybackTest, WithoutASoundDeviceEveryPlaySaysSo)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    sound::SdlSoundOutput output;
    EXPECT_EQ(output.play(silence("short.wav", 100)), sound::PlayStart::NoDevice);
    EXPECT_EQ(output.play(silence("short.wav", 100)), sound::PlayStart::NoDevice);
    output.waitUntilFinished();
}

}  // namespace
