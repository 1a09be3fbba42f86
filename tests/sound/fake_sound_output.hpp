#pragma once
// A SoundOutput for tests: it records the files it is asked to play, with their bytes as they
// were when the play started, and can act as a system without a sound device.

#include "sound/sound_output.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <vector>

namespace sound_testing {

class FakeSoundOutput final : public sound::SoundOutput {
public:
    sound::PlayStart answer = sound::PlayStart::Started;
    std::vector<Bytes> played;
    int waits = 0;

    sound::PlayStart play(const std::filesystem::path& waveFile) override
    {
        if (answer == sound::PlayStart::Started)
            played.push_back(readFile(waveFile));
        return answer;
    }
    void waitUntilFinished() override { ++waits; }
};

}  // namespace sound_testing
