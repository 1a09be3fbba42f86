// The glyphs of the demo character table: game code, Shift-JIS pair and the same character in
// UTF-8. Internal to the character table writer and the name encoder.
#pragma once

#include <cstdint>
#include <span>

namespace synthetic::glyphs {

// Game codes of 0xC000 and above are two-byte codes (first byte, second byte).
inline constexpr std::uint16_t kFirstTwoByteCode = 0xC000;

struct Glyph {
  std::uint16_t code;
  const char* shiftJis;  // two bytes
  const char* utf8;
  bool decodeOnly = false;  // a marker code: decoded, never produced by the encoder
};

// Sorted by code, one-byte codes first.
std::span<const Glyph> all();

}  // namespace synthetic::glyphs
