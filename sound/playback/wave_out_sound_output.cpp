#include "sound/playback/wave_out_sound_output.hpp"

#include "rom/byte_io.hpp"
#include "sound/wave.hpp"

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace sound {
namespace {

// A RIFF WAVE file: the "RIFF" chunk's head, "WAVE", then chunks of a four-letter ID, a 32-bit
// size and the data, each padded to an even length (sound/wave.hpp).
constexpr std::size_t kIdBytes = kRiffId.size();
constexpr std::size_t kWaveIdOffset = kRiffChunkHeadSize;
constexpr std::size_t kFirstChunkOffset = kWaveIdOffset + kIdBytes;
// The "fmt " chunk's PCM fields, in WAVEFORMATEX's order.
constexpr std::size_t kFormatTagOffset = 0;
constexpr std::size_t kChannelsOffset = 2;
constexpr std::size_t kRateOffset = 4;
constexpr std::size_t kBytesPerSecondOffset = 8;
constexpr std::size_t kBlockAlignOffset = 12;
constexpr std::size_t kBitsPerSampleOffset = 14;

constexpr std::uint64_t kMillisecondsPerSecond = 1000;
constexpr DWORD kPollMs = 10;
// A device that never reports the end of a play (a driver that lost its output) is given this
// long beyond the sample's length before the play is stopped: the command always ends.
constexpr std::chrono::milliseconds kFinishAllowance{2000};

struct Wave {
    WAVEFORMATEX format{};
    std::vector<char> samples;
};

bool hasId(const std::vector<std::uint8_t>& file, std::size_t offset, std::string_view id)
{
    return rom::fits(file.size(), offset, kIdBytes) &&
           std::string_view(reinterpret_cast<const char*>(file.data() + offset), kIdBytes) == id;
}

// The PCM format and samples of a WAV file; nothing for any other file.
std::optional<Wave> readWave(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    if (!hasId(file, 0, kRiffId) || !hasId(file, kWaveIdOffset, kWaveId))
        return std::nullopt;
    Wave wave;
    bool formatFound = false;
    std::size_t offset = kFirstChunkOffset;
    while (const std::optional<std::uint32_t> size = rom::readU32(file, offset + kIdBytes)) {
        const std::size_t body = offset + kRiffChunkHeadSize;
        if (!rom::fits(file.size(), body, *size))
            return std::nullopt;
        const shell::ByteSpan chunk(file.data() + body, *size);
        if (hasId(file, offset, kFormatId) && chunk.size() >= kPcmFormatChunkSize) {
            wave.format.wFormatTag = rom::loadU16(chunk, kFormatTagOffset);
            wave.format.nChannels = rom::loadU16(chunk, kChannelsOffset);
            wave.format.nSamplesPerSec = rom::loadU32(chunk, kRateOffset);
            wave.format.nAvgBytesPerSec = rom::loadU32(chunk, kBytesPerSecondOffset);
            wave.format.nBlockAlign = rom::loadU16(chunk, kBlockAlignOffset);
            wave.format.wBitsPerSample = rom::loadU16(chunk, kBitsPerSampleOffset);
            formatFound = true;
        } else if (hasId(file, offset, kDataId)) {
            if (!formatFound || wave.format.wFormatTag != WAVE_FORMAT_PCM ||
                wave.format.nAvgBytesPerSec == 0)
                return std::nullopt;
            wave.samples.assign(chunk.begin(), chunk.end());
            return wave;
        }
        offset = body + *size + (*size & 1);
    }
    return std::nullopt;
}

}  // namespace

// The open device and the one buffer it plays; the buffer stays put until the device lets go of it.
struct WaveOutSoundOutput::Play {
    HWAVEOUT device = nullptr;
    WAVEHDR header{};
    std::vector<char> samples;
    std::chrono::steady_clock::time_point deadline;
};

WaveOutSoundOutput::WaveOutSoundOutput() = default;

WaveOutSoundOutput::~WaveOutSoundOutput()
{
    stop();
}

void WaveOutSoundOutput::stop()
{
    if (!play_)
        return;
    waveOutReset(play_->device);
    waveOutUnprepareHeader(play_->device, &play_->header, sizeof play_->header);
    waveOutClose(play_->device);
    play_.reset();
}

PlayStart WaveOutSoundOutput::play(const std::filesystem::path& waveFile)
{
    stop();
    std::optional<Wave> wave = readWave(waveFile);
    if (!wave)
        return PlayStart::Unplayable;
    auto play = std::make_unique<Play>();
    const MMRESULT opened = waveOutOpen(&play->device, WAVE_MAPPER, &wave->format, 0, 0, CALLBACK_NULL);
    if (opened == WAVERR_BADFORMAT)
        return PlayStart::Unplayable;
    if (opened != MMSYSERR_NOERROR)
        return PlayStart::NoDevice;
    play->samples = std::move(wave->samples);
    play->header.lpData = play->samples.data();
    play->header.dwBufferLength = static_cast<DWORD>(play->samples.size());
    const auto length = std::chrono::milliseconds(
        std::uint64_t{play->samples.size()} * kMillisecondsPerSecond / wave->format.nAvgBytesPerSec);
    play->deadline = std::chrono::steady_clock::now() + length + kFinishAllowance;
    if (waveOutPrepareHeader(play->device, &play->header, sizeof play->header) != MMSYSERR_NOERROR) {
        waveOutClose(play->device);
        return PlayStart::Unplayable;
    }
    play_ = std::move(play);
    if (waveOutWrite(play_->device, &play_->header, sizeof play_->header) != MMSYSERR_NOERROR) {
        stop();
        return PlayStart::Unplayable;
    }
    return PlayStart::Started;
}

bool WaveOutSoundOutput::playing() const
{
    return play_ && (play_->header.dwFlags & WHDR_DONE) == 0;
}

void WaveOutSoundOutput::waitUntilFinished()
{
    while (playing() && std::chrono::steady_clock::now() < play_->deadline)
        Sleep(kPollMs);
    stop();
}

}  // namespace sound
