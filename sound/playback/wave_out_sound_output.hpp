#pragma once
// Asynchronous WAV playing through Windows' waveOut service, the player of the Windows build (which
// has no SDL). The device opens on each play in the sample's own format; a play that finds no
// device says so, and a new play stops the one before.

#include "sound/sound_output.hpp"

#include <memory>

namespace sound {

class WaveOutSoundOutput final : public SoundOutput {
public:
    WaveOutSoundOutput();
    ~WaveOutSoundOutput() override;
    WaveOutSoundOutput(const WaveOutSoundOutput&) = delete;
    WaveOutSoundOutput& operator=(const WaveOutSoundOutput&) = delete;

    PlayStart play(const std::filesystem::path& waveFile) override;
    void waitUntilFinished() override;

    // Whether the device still has audio of the current play.
    bool playing() const;

    // Stops the current play, if any.
    void stop();

private:
    struct Play;
    std::unique_ptr<Play> play_;
};

}  // namespace sound
