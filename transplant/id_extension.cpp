#include "transplant/id_extension.hpp"

#include "rom/gba_address.hpp"
#include "shell/number_text.hpp"
#include "transplant/key_value_text.hpp"

#include <algorithm>
#include <cstring>

namespace transplant {
namespace {

using rom::ResourceKind;

// The code locations that hold a GBA pointer to each table, in the order of rom::kExtendableKinds.
const std::array<std::vector<std::uint32_t>, rom::kExtendableKinds.size()>& tableReferences()
{
    static const std::array<std::vector<std::uint32_t>, rom::kExtendableKinds.size()> references{{
        {0x5E278, 0x65FD8, 0x6A4F4, 0x6C2AC, 0x6C3D4, 0x6C5D8, 0x6D0DC, 0x6D120, 0x6F020, 0x6F148,
         0x6F51C, 0xF3A6F4},                                                       // Sprite
        {0x5E274, 0x65FDC, 0x6A4F8, 0x6C2B0, 0x6C3EC, 0x6C5DC, 0x6D124, 0x6D164, 0x6F024, 0x6F08C,
         0x6F14C, 0x6F520},                                                        // Pallet
        {0x565D8, 0x5D4DC, 0x5DE80, 0x5DFF8, 0x5E208, 0x5FF1C, 0x6C42C, 0x6CE60, 0x6CF3C, 0x6D03C,
         0x6D0D4},                                                                 // BGMap
        {0x6A450, 0x6A4A0, 0x6A938, 0x6AAB8, 0x6AD58, 0x6AE08, 0x6EEF4, 0x6F510},  // MotionPart
        {0x6A4A8, 0x6A940, 0x6AAC0, 0x6AD5C, 0x6AE0C, 0x6EEFC},                    // ShadowEtc
        {0x6A4A4, 0x6A93C, 0x6AABC, 0x6EEF8},                                      // CutinScroll
        {0x65F6C},                                                                 // GraphicDifinition
        {0x6AAB4},                                                                 // SystemAnime
        {0x6BCB8, 0x6BFB4},                                                        // UnitCutin
        {0x3DB8, 0x3EB0},                                                          // IconData
    }};
    return references;
}

// Where each table goes, relative to the start of the extension, and its new last ID; in the order
// of rom::kExtendableKinds.
struct NewPlace {
    std::uint32_t offset;
    std::uint16_t lastId;
};
constexpr std::array<NewPlace, rom::kExtendableKinds.size()> kNewPlaces{{
    {0x00000, 0x1000},  // Sprite
    {0x05000, 0x1000},  // Pallet
    {0x0A000, 0x1000},  // BGMap
    {0x14000, 0x1000},  // MotionPart
    {0x19000, 0x1000},  // ShadowEtc
    {0x1E000, 0x1000},  // CutinScroll
    {0x23000, 0x500},   // GraphicDifinition
    {0x26000, 0x500},   // SystemAnime
    {0x2C000, 0x500},   // UnitCutin
    {0x39000, 0x200},   // IconData
}};

// The extended image ends on this boundary, with at least one spare byte after the last table.
constexpr std::uint64_t kImageSizeStep = 0x100;

// The game reads the tables' entries as 16- and 32-bit words.
constexpr std::uint64_t kTableAlignment = 4;

// The tables of the ".ExtInfo" file, in the order it lists them.
constexpr std::array<ResourceKind, rom::kExtendableKinds.size()> kFileOrder{
    ResourceKind::BGMap,     ResourceKind::CutinScroll, ResourceKind::GraphicDifinition,
    ResourceKind::IconData,  ResourceKind::MotionPart,  ResourceKind::Pallet,
    ResourceKind::ShadowEtc, ResourceKind::Sprite,      ResourceKind::SystemAnime,
    ResourceKind::UnitCutin,
};

constexpr std::string_view kAddressKey = "dwAddress";
constexpr std::string_view kLastIdKey = "wNumLastEntryId";
constexpr std::string_view kSizeKey = "wSizeItem";

std::string fileKey(ResourceKind kind, std::string_view key)
{
    return std::string(rom::kindName(kind)) + ":" + std::string(key);
}

std::uint64_t tableBytes(const ExtensionTable& table)
{
    return (std::uint64_t{table.wNumLastEntryId} + 1) * table.wSizeItem;
}

// True when the table `info` gives for `kind` reaches over the start of another table of the
// directory. The game's own layout has one such overlap (the last system animation lies on the
// first graphic change definitions), so a table where the game put it, no longer than the game
// made it, is accepted as it is.
bool runsIntoAnotherTable(const ExtensionTable& table, rom::ResourceKind kind,
                          const rom::TableDirectory& directory)
{
    const rom::GameTable own = rom::tableOf(kind);
    if (table.dwAddress == rom::tableLocation(own).unextendedOffset &&
        table.wNumLastEntryId <= rom::unextendedLastId(kind))
        return false;
    const std::uint64_t end = table.dwAddress + tableBytes(table);
    for (std::size_t t = 0; t < rom::kGameTableCount; ++t) {
        const std::uint32_t start = directory.offsets[t];
        if (static_cast<rom::GameTable>(t) != own && start > table.dwAddress && start < end)
            return true;
    }
    return false;
}

rom::RomError tooLarge()
{
    return rom::RomError{"拡張後のROMが32MBを超えるため、拡張できません"};
}

}  // namespace

std::uint64_t extensionStart(std::uint64_t imageSize)
{
    return (imageSize + kTableAlignment - 1) / kTableAlignment * kTableAlignment;
}

ExtensionInfo extendedLayout(std::uint32_t start)
{
    ExtensionInfo info;
    info.loaded = true;
    for (std::size_t i = 0; i < rom::kExtendableKinds.size(); ++i) {
        ExtensionTable& table = info.tables[i];
        table.wSizeItem = rom::recordSizeOf(rom::tableOf(rom::kExtendableKinds[i]));
        table.dwAddress = start + kNewPlaces[i].offset;
        table.wNumLastEntryId = kNewPlaces[i].lastId;
    }
    return info;
}

rom::RomResult<ExtendedImage> extendIdArea(rom::ByteSpan image, const ExtensionInfo& info)
{
    const std::uint64_t start = extensionStart(image.size());
    if (start > kCartridgeLimit)
        return std::unexpected(tooLarge());
    ExtensionInfo layout = extendedLayout(static_cast<std::uint32_t>(start));

    std::uint64_t end = 0;
    for (const ExtensionTable& table : layout.tables)
        end = std::max(end, table.dwAddress + tableBytes(table));
    const std::uint64_t newSize = end + kImageSizeStep - end % kImageSizeStep;
    if (newSize > kCartridgeLimit)
        return std::unexpected(tooLarge());

    for (std::size_t i = 0; i < rom::kExtendableKinds.size(); ++i) {
        const ExtensionTable& current = info.tables[i];
        const std::string name(rom::kindName(rom::kExtendableKinds[i]));
        if (!rom::fits(image.size(), current.dwAddress, tableBytes(current)))
            return std::unexpected(
                rom::outOfImage(name + " テーブル", current.dwAddress, tableBytes(current)));
        // The new table must hold the old one whole.
        if (tableBytes(current) > tableBytes(layout.tables[i]))
            return std::unexpected(rom::RomError{name + " テーブルが拡張後の領域より大きいです"});
        for (std::uint32_t reference : tableReferences()[i]) {
            if (!rom::fits(image.size(), reference, 4))
                return std::unexpected(rom::outOfImage(name + " の参照", reference, 4));
        }
    }

    // Room to grow up to the cartridge's size, as an opened image has.
    ExtendedImage result{rom::Bytes(), std::move(layout)};
    result.image.reserve(static_cast<std::size_t>(kCartridgeLimit));
    result.image.assign(image.begin(), image.end());
    result.image.resize(static_cast<std::size_t>(newSize));
    for (std::size_t i = 0; i < rom::kExtendableKinds.size(); ++i) {
        const ExtensionTable& current = info.tables[i];
        const ExtensionTable& moved = result.info.tables[i];
        std::memcpy(result.image.data() + moved.dwAddress, image.data() + current.dwAddress,
                    static_cast<std::size_t>(tableBytes(current)));
        for (std::uint32_t reference : tableReferences()[i])
            rom::storeU32(result.image, reference, rom::gbaPointerOf(moved.dwAddress));
    }
    return result;
}

std::string extensionInfoText(const ExtensionInfo& info)
{
    std::string text;
    for (ResourceKind kind : kFileOrder) {
        const ExtensionTable& table = info.table(kind);
        text += keyValueLine(fileKey(kind, kAddressKey), table.dwAddress);
        text += keyValueLine(fileKey(kind, kLastIdKey), table.wNumLastEntryId);
        text += keyValueLine(fileKey(kind, kSizeKey), table.wSizeItem);
    }
    return text;
}

ExtensionInfo parseExtensionInfoText(std::string_view text)
{
    ExtensionInfo info;
    for (ResourceKind kind : kFileOrder) {
        ExtensionTable& table = info.table(kind);
        table.dwAddress =
            static_cast<std::uint32_t>(findKeyValue(text, fileKey(kind, kAddressKey)).value_or(0));
        table.wNumLastEntryId =
            static_cast<std::uint16_t>(findKeyValue(text, fileKey(kind, kLastIdKey)).value_or(0));
        table.wSizeItem =
            static_cast<std::uint16_t>(findKeyValue(text, fileKey(kind, kSizeKey)).value_or(0));
    }
    return info;
}

rom::RomResult<void> checkExtensionInfo(const ExtensionInfo& info, rom::ByteSpan image,
                                        const rom::TableDirectory& directory)
{
    for (ResourceKind kind : rom::kExtendableKinds) {
        const ExtensionTable& table = info.table(kind);
        const rom::GameTable gameTable = rom::tableOf(kind);
        const std::string name(rom::kindName(kind));
        if (table.dwAddress != directory.offset(gameTable))
            return std::unexpected(rom::RomError{name + " のアドレスがROMと違います"});
        if (table.wSizeItem != rom::recordSizeOf(gameTable))
            return std::unexpected(rom::RomError{name + " のサイズがテーブルと違います"});
        if (!rom::fits(image.size(), table.dwAddress, tableBytes(table)))
            return std::unexpected(
                rom::outOfImage(name + " テーブル", table.dwAddress, tableBytes(table)));
        if (runsIntoAnotherTable(table, kind, directory))
            return std::unexpected(rom::RomError{name + " テーブルが他のテーブルに重なります"});
    }
    return {};
}

}  // namespace transplant
