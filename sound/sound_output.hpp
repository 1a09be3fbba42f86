#pragma once
// The system's sound service as the tool uses it: play a WAV file asynchronously, a new play
// stopping the one before. The core holds only this interface; the SDL player implements it.

#include <filesystem>

namespace sound {

enum class PlayStart {
    Started,
    NoDevice,      // no sound device could be opened
    Unplayable,    // the file could not be read as a WAV file the device takes
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Starts playing the file and returns at once; a play still running stops first.
    virtual PlayStart play(const std::filesystem::path& waveFile) = 0;

    // Returns when the current play, if any, has finished.
    virtual void waitUntilFinished() = 0;
};

}  // namespace sound
