#include "transplant/free_ids.hpp"

#include "shell/number_text.hpp"

#include <algorithm>

namespace transplant {
namespace {

using rom::ResourceKind;

// The lines of the count summary, in their order.
constexpr std::array<std::pair<std::string_view, ResourceKind>, rom::kResourceKindCount>
    kCountLines{{
        {"ユニット", ResourceKind::Unit},
        {"武器", ResourceKind::FixedWeapon},
        {"スプライト", ResourceKind::Sprite},
        {"パレット", ResourceKind::Pallet},
        {"BGMap", ResourceKind::BGMap},
        {"描画ルーチン１", ResourceKind::MotionPart},
        {"描画ルーチン２", ResourceKind::ShadowEtc},
        {"描画ルーチン３", ResourceKind::CutinScroll},
        {"システムアニメ", ResourceKind::SystemAnime},
        {"画像変更用定義", ResourceKind::GraphicDifinition},
        {"ユニットカットイン", ResourceKind::UnitCutin},
        {"アイコン画像", ResourceKind::IconData},
    }};

bool holdsMarker(rom::ByteSpan record, std::size_t nameOffset, const rom::GameName& marker)
{
    return std::ranges::equal(record.subspan(nameOffset, marker.size()), marker);
}

// Adds the IDs below `count` whose record's name field equals `marker`.
rom::RomResult<void> addMarkedSlots(rom::UnitResourceSet& set, rom::ByteSpan image,
                                    const rom::TableDirectory& directory, ResourceKind kind,
                                    std::uint16_t count, std::size_t nameOffset,
                                    const rom::GameName& marker)
{
    for (std::uint16_t id = 0; id < count; ++id) {
        auto record = rom::recordBytes(image, directory, rom::tableOf(kind), id);
        if (!record)
            return std::unexpected(record.error());
        if (holdsMarker(*record, nameOffset, marker))
            set.list(kind).push_back(id);
    }
    return {};
}

// True when [offset, offset + size) holds the first byte of a directory table other than `own`.
bool holdsAnotherTable(const rom::TableDirectory& directory, rom::GameTable own,
                       std::uint64_t offset, std::uint64_t size)
{
    for (std::size_t t = 0; t < rom::kGameTableCount; ++t) {
        const std::uint32_t start = directory.offsets[t];
        if (static_cast<rom::GameTable>(t) != own && start != directory.offset(own) &&
            start >= offset && start < offset + size)
            return true;
    }
    return false;
}

rom::RomResult<void> addZeroEntries(rom::UnitResourceSet& set, rom::ByteSpan image,
                                    const rom::TableDirectory& directory,
                                    const ExtensionInfo& info, ResourceKind kind)
{
    const ExtensionTable& table = info.table(kind);
    const std::uint64_t size = table.wSizeItem;
    const std::uint64_t start = directory.offset(rom::tableOf(kind));
    const std::uint64_t count = std::uint64_t{table.wNumLastEntryId} + 1;
    if (!rom::fits(image.size(), start, count * size))
        return std::unexpected(rom::outOfImage(std::string(rom::kindName(kind)) + " テーブル",
                                               start, count * size));
    for (std::uint64_t id = 0; id < count; ++id) {
        const std::uint64_t offset = start + id * size;
        const rom::ByteSpan entry = image.subspan(static_cast<std::size_t>(offset), size);
        if (std::ranges::all_of(entry, [](std::uint8_t b) { return b == 0; }) &&
            !holdsAnotherTable(directory, rom::tableOf(kind), offset, size))
            set.list(kind).push_back(static_cast<std::uint16_t>(id));
    }
    return {};
}

}  // namespace

bool isEmptyUnitRecord(rom::ByteSpan record)
{
    return holdsMarker(record, rom::UnitDataRecord::kNameOffset, EmptyUnitName);
}

rom::RomResult<rom::UnitResourceSet> BuildFreeIdSet(rom::ByteSpan image,
                                                    const rom::TableDirectory& directory,
                                                    const ExtensionInfo& info)
{
    rom::UnitResourceSet set;
    set.valid = true;
    if (auto done = addMarkedSlots(set, image, directory, ResourceKind::Unit, rom::kUnitCount,
                                   rom::UnitDataRecord::kNameOffset, EmptyUnitName);
        !done)
        return std::unexpected(done.error());
    if (auto done = addMarkedSlots(set, image, directory, ResourceKind::FixedWeapon,
                                   rom::kWeaponCount, rom::WEAPON_DATA::kNameOffset,
                                   EmptyWeaponName);
        !done)
        return std::unexpected(done.error());
    for (ResourceKind kind : rom::kExtendableKinds) {
        if (auto done = addZeroEntries(set, image, directory, info, kind); !done)
            return std::unexpected(done.error());
    }
    return set;
}

std::string FormatIdCounts(const rom::UnitResourceSet& set)
{
    std::string text;
    for (const auto& [label, kind] : kCountLines) {
        text += label;
        text += '\t';
        text += shell::decimalText(static_cast<std::int64_t>(set.list(kind).size()));
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> shortageLines(const rom::UnitResourceSet& freeIds,
                                       const rom::UnitResourceSet& needed)
{
    std::vector<std::string> lines;
    for (const auto& [label, kind] : kCountLines) {
        const std::size_t need = needed.list(kind).size();
        const std::size_t available = freeIds.list(kind).size();
        if (need > available)
            lines.push_back(std::string(label) + ": 必要 " + std::to_string(need) + ", 空き " +
                            std::to_string(available));
    }
    return lines;
}

}  // namespace transplant
