#pragma once
// The layout of the game's sound data as the tool reads it: the supported games and where their
// instrument tables lie, the 12-byte instrument record, its types, and the sample header. Every
// number of the sound format is named here and nowhere else.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sound {

// Supported games, recognised by the game code of the cartridge header.
struct SupportedGame {
    std::string_view code;   // four characters, compared as one little-endian 32-bit value
    std::string_view label;
    std::uint32_t instrumentTable;  // ROM offset of the first instrument record
};

inline constexpr SupportedGame kSupportedGames[] = {
    {"KX4M", "TALMIR", 0x3F6AD4},
    {"VQ8T", "TALMOR", 0x33430C},
};

// Instrument record: type, three bytes not interpreted, then two pointers. Sub-instrument and
// drum records have the same layout.
inline constexpr std::size_t kInstrumentRecordSize = 12;
inline constexpr std::size_t kRecordTypeOffset = 0;
inline constexpr std::size_t kRecordFirstPointerOffset = 4;
inline constexpr std::size_t kRecordSecondPointerOffset = 8;

// Instrument types. Only the two PCM types carry a sample.
inline constexpr std::uint8_t kTypeMelodyPcm = 0x00;
inline constexpr std::uint8_t kTypePulse1 = 0x01;
inline constexpr std::uint8_t kTypePulse2 = 0x02;
inline constexpr std::uint8_t kTypeWaveMemory = 0x03;
inline constexpr std::uint8_t kTypeNoise = 0x04;
inline constexpr std::uint8_t kTypeRhythmPcm = 0x08;
inline constexpr std::uint8_t kTypeRhythmNoise = 0x0C;
inline constexpr std::uint8_t kTypeUnknown = 0x10;
inline constexpr std::uint8_t kTypeCustomSound = 0x20;
inline constexpr std::uint8_t kTypeNoteSwitch = 0x40;
inline constexpr std::uint8_t kTypeDrumSet = 0x80;

// A note-switch instrument maps each of the 128 notes to a sub-instrument index; a drum set has
// one drum record per note.
inline constexpr std::size_t kNoteCount = 128;

// The instrument list stops at line 7F unless the limit is lifted.
inline constexpr std::size_t kInstrumentListLimit = 128;

// Sample: a 16-byte header (pitch value at 4, length at 12), then signed 8-bit mono PCM.
inline constexpr std::size_t kSampleHeaderSize = 16;
inline constexpr std::size_t kSamplePitchOffset = 4;
inline constexpr std::size_t kSampleLengthOffset = 12;
// The pitch value is the playback rate in hertz times 1024.
inline constexpr unsigned kPitchFractionBits = 10;

}  // namespace sound
