// Generated routine data for demo content: part command streams and key blocks whose length-walk
// measure is exactly their size, and the plain data behind sprites, BG maps, palettes and icons.
// All output is a pure function of the arguments.
#pragma once

#include <cstdint>

#include "tests/support/le_bytes.hpp"

namespace synthetic {

// Deterministic pseudo-random numbers for generated content.
class Prng {
 public:
  explicit Prng(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  std::uint32_t next();
  // A value in [low, high].
  std::uint32_t between(std::uint32_t low, std::uint32_t high);
  std::uint8_t byte() { return static_cast<std::uint8_t>(next()); }

 private:
  std::uint32_t state_;
};

// The operand bytes that a command with non-zero duration and flags `g` carries.
std::uint32_t operandBytes(std::uint8_t g);

enum class StreamEnd {
  Limit,    // the frames add up to at least the limit with no repeat pending
  EndMark,  // FF 00 before the limit is reached
};

// A part command stream for limit `limit` mixing long and short commands, operand rules and
// repeat control codes.
Bytes makePartStream(std::uint16_t limit, StreamEnd end, std::uint32_t seed);

enum class KeyBlockEnd {
  FFFF,         // ends with FF FF
  Zero,         // ends with 00 00
  IndexAboveT,  // ends with an entry whose index is above T
};

// A key block for a MotionPart routine of total frame count `totalFrames` (at least 1).
Bytes makeKeyBlock(std::uint16_t totalFrames, KeyBlockEnd end, std::uint32_t seed);

// Raw sprite sheet: 256 pixels wide at 4 bits per pixel, `rows` pixel rows (rows x 128 bytes),
// made of a few repeated tiles so that compression finds back-references.
Bytes makeSpriteSheet(std::uint32_t rows, std::uint32_t seed);

// Raw BG map: u16 screen entries for the screen size code (0: 32x32, 1: 64x32, 2: 32x64,
// 3: 64x64 entries).
Bytes makeBGMapData(std::uint16_t wSize, std::uint32_t seed);

// `banks` palettes of 16 BGR555 colours. The first colour of the last bank carries bit 15, the
// mark at which the editor's palette reading stops.
Bytes makePalette(std::uint32_t banks, std::uint32_t seed);

// A 384-byte icon image with no zero byte.
Bytes makeIcon(std::uint32_t seed);

}  // namespace synthetic
