#pragma once
// A sample of the game as a WAV file: the 16-byte sample header gives the rate and the length,
// the signed 8-bit samples become unsigned 8-bit PCM of the negated waveform behind a 44-byte
// header.

#include "shell/bytes.hpp"

#include <cstdint>
#include <optional>
#include <string_view>

namespace sound {

struct SampleHeader {
    std::uint32_t dwPitch = 0;   // rate in hertz times 1024
    std::uint32_t dwLength = 0;  // sample bytes behind the header
};

inline constexpr std::size_t kWaveHeaderSize = 44;

// The four-letter IDs of a RIFF WAVE file: the file, its form, and the two chunks every PCM file
// has. The player of the Windows build reads them back.
inline constexpr std::string_view kRiffId = "RIFF";
inline constexpr std::string_view kWaveId = "WAVE";
inline constexpr std::string_view kFormatId = "fmt ";
inline constexpr std::string_view kDataId = "data";
// Every chunk, the file's own too, starts with its ID and the 32-bit size of what follows.
inline constexpr std::size_t kRiffChunkHeadSize = 8;
// The "fmt " chunk of PCM: format tag, channels, rate, bytes a second, block align, bits a sample.
inline constexpr std::uint32_t kPcmFormatChunkSize = 16;

// Shown when a sample's header or data would run past the end of the image.
inline constexpr std::string_view kSampleOutsideImage =
    "サンプルがROMイメージの範囲外にはみ出しています";

// The header of the sample at `offset`, when the header and all its samples lie inside the image.
std::optional<SampleHeader> readSampleHeader(shell::ByteSpan image, std::uint64_t offset);

// The WAV file of the sample at `offset`, L + 44 bytes; nothing when the sample does not lie
// wholly inside the image.
std::optional<shell::Bytes> buildWave(shell::ByteSpan image, std::uint64_t offset);

}  // namespace sound
