// The demo character table ("string.txt") and the matching encoder of demo names.
//
// The table maps every one-byte code 0x00..0xBF and the two-byte codes C0 40..C0 7D to one
// double-byte Shift-JIS character each: full-width digits and letters, the ideographic space,
// the long vowel mark and middle dot, all katakana, all hiragana and a few kanji. The codes of the
// empty-unit marker (BA A9 90 95) decode to "ダミー機" and those of the empty-weapon marker
// (C9 8A, C1 C8) to "空欄"; they are decode-only, the encoder never produces them.
//
// File shape: one entry per line, "KEY,XX" CR LF, KEY the upper-case hexadecimal code ("0A";
// "C0 41" with one space for two-byte codes), XX the two Shift-JIS bytes. One-byte entries come
// first, so a one-byte key always finds its own line before any two-byte key that contains it.
#pragma once

#include <string>
#include <string_view>

#include "tests/support/le_bytes.hpp"

namespace synthetic {

// The bytes of string.txt.
std::string makeCharacterTableFile();

// Game codes of a UTF-8 text made of the table's characters (no end byte). Throws
// std::invalid_argument for a character the table does not hold.
Bytes encodeGameText(std::string_view utf8);

// The Shift-JIS bytes that decoding encodeGameText(utf8) through the table gives.
std::string shiftJisOf(std::string_view utf8);

}  // namespace synthetic
