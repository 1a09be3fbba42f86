#include "sprite/graphics_ids.hpp"

#include "rom/game_tables.hpp"
#include "rom/gba_address.hpp"
#include "rom/rom_image.hpp"
#include "shell/number_text.hpp"

#include <string>

namespace sprite {

rom::RomResult<std::uint32_t> graphicsOffsetOfId(shell::ByteSpan image, rom::ResourceKind kind,
                                                 std::uint16_t id)
{
    if (!rom::isSupportedGame(image)) {
        return std::unexpected(rom::RomError{std::string(rom::kNotSupportedGame) + " (ゲームコード: " +
                                             shell::printableText(rom::gameCodeOf(image)) + ")"});
    }
    const rom::GameTable table = rom::tableOf(kind);
    const std::string item = rom::itemName(rom::kindName(kind), id);
    auto directory = rom::readTableDirectory(image);
    if (!directory)
        return std::unexpected(directory.error());
    if (const std::optional<std::uint16_t> lastId = rom::knownLastId(*directory, kind); lastId && id > *lastId) {
        return std::unexpected(rom::RomError{item + " はテーブルにありません (最後の ID は 0x" +
                                             shell::paddedHexText(*lastId, 3) + ")"});
    }
    auto pointer = rom::readTablePointer(image, *directory, table, id);
    if (!pointer)
        return std::unexpected(rom::withContext(pointer.error(), item));
    if (*pointer == 0)
        return std::unexpected(rom::RomError{item + " は空の ID です"});
    return rom::romOffsetOf(*pointer);
}

}  // namespace sprite
