#include "tests/fuzz/image_patch.hpp"

#include "tests/support/rom_layout.hpp"
#include "tests/support/synthetic_rom.hpp"

#include <algorithm>
#include <cstring>

namespace fuzz_patch {
namespace {

namespace layout = synthetic::layout;

// The cartridge header: entry branch, logo, title, game code and checksum.
constexpr std::uint32_t kHeaderLength = 0xC0;
// The largest run one padding patch appends.
constexpr std::size_t kPaddingSpan = 4096;
constexpr std::uint8_t kFillBit = 0x80;
constexpr std::uint8_t kCountMask = 0x7F;
// The two operations after the region groups.
constexpr std::size_t kExtraOperations = 2;

constexpr std::uint32_t kPointerSize = 4;

std::uint16_t lastIdOf(layout::Table table)
{
    switch (table) {
    case layout::Table::Unit:
    case layout::Table::UnitAnime:
    case layout::Table::UnitIconIndex:
        return layout::kLastUnitId;
    case layout::Table::Weapon:
    case layout::Table::FixedAnime:
        return layout::kLastWeaponId;
    default:
        for (const layout::ExtendableTable& extendable : layout::kExtendable) {
            if (extendable.table == table)
                return extendable.lastId;
        }
        return 0;
    }
}

void addPlaced(RegionGroup& group, const synthetic::Placed& placed)
{
    if (placed.length != 0)
        group.regions.push_back({placed.offset, placed.length});
}

}  // namespace

std::vector<RegionGroup> scenarioRegions(const synthetic::DemoScenario& scenario)
{
    std::vector<RegionGroup> groups;
    groups.push_back({"header", {{0, kHeaderLength}}});

    RegionGroup locators{"locators", {}};
    RegionGroup tables{"tables", {}};
    for (const layout::DirectoryEntry& entry : layout::kDirectory) {
        locators.regions.push_back({entry.locator, kPointerSize});
        if (entry.recordSize == 0)
            continue;
        const auto table = static_cast<layout::Table>(&entry - layout::kDirectory.data());
        tables.regions.push_back(
            {entry.offset, (std::uint32_t{lastIdOf(table)} + 1) * entry.recordSize});
    }
    groups.push_back(std::move(locators));
    groups.push_back(std::move(tables));

    RegionGroup references{"code references", {}};
    for (const layout::TableReferences& table : layout::kReferences) {
        for (std::uint32_t offset : table.offsets)
            references.regions.push_back({offset, kPointerSize});
    }
    groups.push_back(std::move(references));

    const synthetic::Placements& placed = scenario.placed;
    RegionGroup sprites{"sprites", {}}, pallets{"pallets", {}}, bgMaps{"BG maps", {}};
    for (const auto& [id, run] : placed.sprites)
        addPlaced(sprites, run);
    for (const auto& [id, run] : placed.pallets)
        addPlaced(pallets, run);
    for (const auto& [id, run] : placed.bgMaps)
        addPlaced(bgMaps, run);

    RegionGroup headers{"routine headers", {}}, tablesOfParts{"part tables", {}};
    RegionGroup streams{"part streams", {}}, keyBlocks{"key blocks", {}};
    RegionGroup commands{"cut-in commands", {}};
    for (const auto& [id, motion] : placed.motionParts) {
        headers.regions.push_back({motion.header, layout::motionPart::kHeaderSize});
        if (!motion.parts.empty())
            tablesOfParts.regions.push_back(
                {motion.partTable,
                 static_cast<std::uint32_t>(motion.parts.size()) * layout::motionPart::kPartEntrySize});
        for (const synthetic::Placed& part : motion.parts)
            addPlaced(streams, part);
        addPlaced(keyBlocks, motion.keyBlock);
    }
    for (const auto& [id, shadow] : placed.shadowEtcs) {
        headers.regions.push_back({shadow.header, layout::shadowEtc::kHeaderSize});
        if (!shadow.streams.empty())
            tablesOfParts.regions.push_back(
                {shadow.list,
                 static_cast<std::uint32_t>(shadow.streams.size()) * layout::shadowEtc::kListEntrySize});
        for (const synthetic::Placed& stream : shadow.streams)
            addPlaced(streams, stream);
    }
    for (const auto& [id, scroll] : placed.cutinScrolls) {
        headers.regions.push_back({scroll.header, layout::cutinScroll::kHeaderSize});
        addPlaced(commands, scroll.commands);
    }
    for (RegionGroup* group :
         {&sprites, &pallets, &bgMaps, &headers, &tablesOfParts, &streams, &keyBlocks, &commands}) {
        if (!group->regions.empty())
            groups.push_back(std::move(*group));
    }
    return groups;
}

shell::ByteSpan InputReader::take(std::size_t count)
{
    const std::size_t available = remaining();
    const std::size_t taken = std::min(count, available);
    const shell::ByteSpan span(data_ + position_, taken);
    position_ += taken;
    return span;
}

PatchedImage::PatchedImage(shell::Bytes base, std::vector<RegionGroup> groups,
                           std::size_t extraCapacity)
    : base_(std::move(base)), groups_(std::move(groups)), size_(base_.size())
{
    image_.reserve(base_.size() + extraCapacity + kPaddingSpan);
    image_.assign(base_.begin(), base_.end());
}

void PatchedImage::write(std::size_t offset, shell::ByteSpan bytes)
{
    if (offset >= size_)
        return;
    const std::size_t count = std::min(bytes.size(), size_ - offset);
    std::memcpy(image_.data() + offset, bytes.data(), count);
    written_.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(count)});
}

void PatchedImage::fill(std::size_t offset, std::size_t count, std::uint8_t value)
{
    if (offset >= size_)
        return;
    count = std::min(count, size_ - offset);
    std::memset(image_.data() + offset, value, count);
    written_.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(count)});
}

void PatchedImage::apply(InputReader& input)
{
    const std::size_t operations = groups_.size() + kExtraOperations;
    while (!input.empty()) {
        const std::size_t group = input.u8() % operations;
        const std::uint8_t item = input.u8();
        const std::uint16_t offset = input.u16();
        const std::uint8_t op = input.u8();
        if (group == groups_.size()) {
            // Cut the image short.
            size_ = std::min(size_, std::size_t{item} << 16 | offset);
            continue;
        }
        if (group == groups_.size() + 1) {
            // Pad it, as dumping tools pad with 0xFF or zeros. Behind a cut the padding
            // overwrites base bytes, which undo() restores.
            const std::size_t count = offset % kPaddingSpan + 1;
            if (size_ + count > image_.size())
                image_.resize(size_ + count);
            size_ += count;
            fill(size_ - count, count, op);
            continue;
        }
        const RegionGroup& chosen = groups_[group];
        const Region& region = chosen.regions[item % chosen.regions.size()];
        const std::size_t at = std::size_t{region.offset} + offset % region.length;
        const std::size_t count = (op & kCountMask) + 1u;
        if (op & kFillBit)
            fill(at, count, input.u8());
        else
            write(at, input.take(count));
    }
}

void PatchedImage::undo()
{
    image_.resize(base_.size());
    size_ = base_.size();
    for (const Region& run : written_) {
        if (run.offset >= base_.size())
            continue;
        const std::size_t count = std::min<std::size_t>(run.length, base_.size() - run.offset);
        std::memcpy(image_.data() + run.offset, base_.data() + run.offset, count);
    }
    written_.clear();
}

bool PatchedImage::matchesBase() const
{
    return image_.size() == base_.size() &&
           std::memcmp(image_.data(), base_.data(), base_.size()) == 0;
}

}  // namespace fuzz_patch
