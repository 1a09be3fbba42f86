#pragma once
// Asynchronous WAV playing through SDL's audio output. The sound subsystem starts on the first
// play, so a tool that never plays needs no sound device; a play that finds none says so and the
// next play tries again. A new play drops what the play before still has queued; the device stays
// open while the samples keep one format and is opened anew for another.

#include "sound/sound_output.hpp"

#include <cstdint>

namespace sound {

class SdlSoundOutput final : public SoundOutput {
public:
    SdlSoundOutput() = default;
    ~SdlSoundOutput() override;
    SdlSoundOutput(const SdlSoundOutput&) = delete;
    SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

    PlayStart play(const std::filesystem::path& waveFile) override;
    void waitUntilFinished() override;

    // Whether a play has audio left to hand to the device.
    bool playing() const;

    // Stops the current play, if any.
    void stop();

private:
    bool startAudio();

    struct Format {
        int freq = 0;
        std::uint16_t format = 0;
        std::uint8_t channels = 0;
    };

    bool audioStarted_ = false;
    Format deviceFormat_;
    std::uint32_t device_ = 0;
    std::uint32_t deviceBufferMs_ = 0;  // the audio the device holds beyond SDL's queue
};

}  // namespace sound
