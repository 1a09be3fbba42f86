#include "rom/rom_image.hpp"

namespace rom {

std::string gameCodeOf(shell::ByteSpan image)
{
    std::string code;
    for (std::size_t i = kGameCodeOffset; i < image.size() && code.size() < kGameCodeLength; ++i) {
        if (image[i] == 0)
            break;
        code += static_cast<char>(image[i]);
    }
    return code;
}

bool isSupportedGame(shell::ByteSpan image)
{
    return gameCodeOf(image) == kSupportedGameCode;
}

}  // namespace rom
