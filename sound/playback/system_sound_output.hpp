#pragma once
// The player the programs use: SDL where the build has it, Windows' own waveOut service on Windows.

#ifdef _WIN32
#include "sound/playback/wave_out_sound_output.hpp"
#else
#include "sound/playback/sdl_sound_output.hpp"
#endif

namespace sound {

#ifdef _WIN32
using SystemSoundOutput = WaveOutSoundOutput;
#else
using SystemSoundOutput = SdlSoundOutput;
#endif

}  // namespace sound
