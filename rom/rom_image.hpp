#pragma once
// The cartridge image, held whole in memory while a tool works on it, and the check that it is an
// image of the supported game.

#include "shell/bytes.hpp"

#include <cstddef>
#include <string>
#include <string_view>

namespace rom {

struct RomImage {
    shell::Bytes bytes;
    bool loaded = false;
};

inline constexpr std::size_t kGameCodeOffset = 0xAC;
inline constexpr std::size_t kGameCodeLength = 4;
inline constexpr std::string_view kSupportedGameCode = "KX4M";

// Said of an image whose game code is another; the tools show the code found as the caption.
inline constexpr std::string_view kNotSupportedGame = "Vexaのロムではありません";
inline constexpr std::string_view kRomFilterDescription = "GBAファイル";
inline constexpr std::string_view kRomFilterPattern = "*.gba";

// The game code as the cartridge header states it: the text at 0xAC up to its first zero byte,
// at most four characters, and only what the image holds (a short file gives fewer).
std::string gameCodeOf(shell::ByteSpan image);

bool isSupportedGame(shell::ByteSpan image);

}  // namespace rom
