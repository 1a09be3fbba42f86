#include "transplant/extension_info.hpp"

#include "shell/number_text.hpp"

#include <algorithm>

namespace transplant {
namespace {

constexpr int kAddressDigits = 8;
constexpr int kLastIdDigits = 4;
constexpr std::size_t kStatusEntriesPerLine = 2;

constexpr std::string_view kStatusLoaded = "拡張情報 読み込み済\r\n";
constexpr std::string_view kStatusNotLoaded = "拡張情報 なし\r\n";

// Labels in the order of rom::kExtendableKinds.
constexpr std::array<std::string_view, rom::kExtendableKinds.size()> kStatusLabels{
    "Sprite", "Pallet", "BGMap", "描画R1", "描画R2", "描画R3",
    "グラ定義", "SysAnime", "UnitCutin", "IconData",
};

std::size_t extendableIndex(rom::ResourceKind kind)
{
    const auto found = std::find(rom::kExtendableKinds.begin(), rom::kExtendableKinds.end(), kind);
    return static_cast<std::size_t>(found - rom::kExtendableKinds.begin());
}

}  // namespace

ExtensionTable& ExtensionInfo::table(rom::ResourceKind kind)
{
    return tables.at(extendableIndex(kind));
}

const ExtensionTable& ExtensionInfo::table(rom::ResourceKind kind) const
{
    return tables.at(extendableIndex(kind));
}

ExtensionInfo presetExtensionInfo()
{
    ExtensionInfo info;
    info.loaded = true;
    for (rom::ResourceKind kind : rom::kExtendableKinds) {
        const rom::GameTable gameTable = rom::tableOf(kind);
        ExtensionTable& entry = info.table(kind);
        entry.wSizeItem = rom::recordSizeOf(gameTable);
        entry.dwAddress = rom::tableLocation(gameTable).unextendedOffset;
        entry.wNumLastEntryId = rom::unextendedLastId(kind);
    }
    return info;
}

std::string ShowExtendStatus(const ExtensionInfo& info, const rom::TableDirectory& directory)
{
    std::string text(info.loaded ? kStatusLoaded : kStatusNotLoaded);
    for (std::size_t i = 0; i < rom::kExtendableKinds.size(); ++i) {
        const rom::ResourceKind kind = rom::kExtendableKinds[i];
        text += kStatusLabels[i];
        text += '\t';
        text += shell::fixedHexText(directory.offset(rom::tableOf(kind)), kAddressDigits);
        text += '\t';
        text += shell::fixedHexText(info.table(kind).wNumLastEntryId, kLastIdDigits);
        text += '\t';
        if ((i + 1) % kStatusEntriesPerLine == 0)
            text += "\r\n";
    }
    return text;
}

}  // namespace transplant
