#include "rom/rom_error.hpp"

#include "shell/number_text.hpp"

namespace rom {

RomError outOfImage(std::string_view what, std::uint64_t offset, std::uint64_t length,
                    DataSource source)
{
    std::string message(what);
    message += source == DataSource::Rom ? " はROMの範囲外です" : " はファイルの範囲外です";
    message += " (オフセット 0x";
    message += shell::hexText(offset);
    message += ", 長さ 0x";
    message += shell::hexText(length);
    message += ")";
    return RomError{std::move(message)};
}

RomError withContext(RomError error, std::string_view context)
{
    error.message = std::string(context) + ": " + error.message;
    return error;
}

std::string itemName(std::string_view kind, std::uint32_t id)
{
    std::string name(kind);
    name += " 0x";
    name += shell::paddedHexText(id, 3);
    return name;
}

}  // namespace rom
