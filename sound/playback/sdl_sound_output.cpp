#include "sound/playback/sdl_sound_output.hpp"

#include <SDL.h>

#include <memory>

namespace sound {
namespace {

constexpr std::uint32_t kMillisecondsPerSecond = 1000;
constexpr std::uint32_t kPollMs = 10;
// The device plays its last buffer after SDL's queue runs empty; waiting a little longer than
// that buffer's length lets the end of the sample be heard.
constexpr std::uint32_t kDrainMarginMs = 50;
// A short device buffer: a new play is heard at once, and a play that is stopped ends at once.
constexpr Uint16 kBufferSamples = 1024;

struct LoadedWave {
    Uint8* samples = nullptr;
    Uint32 length = 0;
    SDL_AudioSpec spec{};

    LoadedWave() = default;
    LoadedWave(const LoadedWave&) = delete;
    LoadedWave& operator=(const LoadedWave&) = delete;
    ~LoadedWave()
    {
        if (samples != nullptr)
            SDL_FreeWAV(samples);
    }
};

}  // namespace

SdlSoundOutput::~SdlSoundOutput()
{
    stop();
    if (audioStarted_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSoundOutput::startAudio()
{
    if (!audioStarted_)
        audioStarted_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return audioStarted_;
}

void SdlSoundOutput::stop()
{
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
}

PlayStart SdlSoundOutput::play(const std::filesystem::path& waveFile)
{
    if (!startAudio()) {
        stop();
        return PlayStart::NoDevice;
    }
    LoadedWave wave;
    if (SDL_LoadWAV(waveFile.string().c_str(), &wave.spec, &wave.samples, &wave.length) ==
            nullptr ||
        wave.spec.freq <= 0) {
        stop();
        return PlayStart::Unplayable;
    }

    const bool sameFormat = device_ != 0 && wave.spec.freq == deviceFormat_.freq &&
                            wave.spec.format == deviceFormat_.format &&
                            wave.spec.channels == deviceFormat_.channels;
    if (sameFormat) {
        // The device stays open; dropping what is queued stops the play before.
        SDL_ClearQueuedAudio(device_);
    } else {
        stop();
        SDL_AudioSpec wanted = wave.spec;
        wanted.samples = kBufferSamples;
        wanted.callback = nullptr;
        wanted.userdata = nullptr;
        SDL_AudioSpec obtained{};
        // Without allowed changes SDL converts the sample to whatever the device takes.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ == 0)
            return PlayStart::NoDevice;
        deviceFormat_ = {wave.spec.freq, wave.spec.format, wave.spec.channels};
        deviceBufferMs_ = obtained.freq > 0 ? obtained.samples * kMillisecondsPerSecond /
                                                  static_cast<std::uint32_t>(obtained.freq)
                                            : 0;
    }
    if (wave.length > 0 && SDL_QueueAudio(device_, wave.samples, wave.length) != 0) {
        stop();
        return PlayStart::Unplayable;
    }
    SDL_PauseAudioDevice(device_, 0);
    return PlayStart::Started;
}

bool SdlSoundOutput::playing() const
{
    return device_ != 0 && SDL_GetQueuedAudioSize(device_) > 0;
}

void SdlSoundOutput::waitUntilFinished()
{
    if (device_ == 0)
        return;
    while (playing())
        SDL_Delay(kPollMs);
    SDL_Delay(deviceBufferMs_ + kDrainMarginMs);
}

}  // namespace sound
