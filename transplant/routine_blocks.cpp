#include "transplant/routine_blocks.hpp"

#include "rom/block_writer.hpp"
#include "rom/gba_address.hpp"
#include "rom/routines.hpp"
#include "transplant/id_remap.hpp"

#include <bit>

namespace transplant {
namespace {

using rom::ByteSpan;
using rom::Bytes;
using rom::MutableByteSpan;
using rom::RomError;

// As the files have always been written: a header that pieces follow is padded to a 16-byte
// boundary, and every piece gets a wider gap behind it.
void headerGap(rom::BlockWriter& writer)
{
    writer.gap(rom::kTransplantHeaderGap);
}

void pieceGap(rom::BlockWriter& writer)
{
    writer.gap(rom::kTransplantPieceGap);
}

// Offset in the block that a stored pointer names; any value past the block fails the checks.
std::uint64_t blockOffsetOf(std::uint32_t pointer)
{
    return rom::romOffsetOf(pointer);
}

std::unexpected<RomError> blockError(rom::ResourceKind kind, std::string_view problem)
{
    return std::unexpected(RomError{std::string(rom::kindName(kind)) +
                                    " のデータが壊れています: " + std::string(problem)});
}

// The table of `count` entries of `entrySize` bytes that the pointer at `field` names.
rom::RomResult<std::size_t> pointedTable(rom::ResourceKind kind, ByteSpan block, std::size_t field,
                                         std::size_t count, std::size_t entrySize)
{
    const std::uint64_t offset = blockOffsetOf(rom::loadU32(block, field));
    if (!rom::fits(block.size(), offset, static_cast<std::uint64_t>(count) * entrySize))
        return blockError(kind, "テーブルがブロックの外にあります");
    return static_cast<std::size_t>(offset);
}

// Walks the routine at the start of `block` with the readers used on images; their errors say
// that the walk left the file.
rom::RomResult<void> walkRoutine(rom::ResourceKind kind, ByteSpan block)
{
    constexpr rom::DataSource kBlock = rom::DataSource::File;
    const auto walked = [](const auto& routine) -> rom::RomResult<void> {
        if (!routine)
            return std::unexpected(routine.error());
        return {};
    };
    if (kind == rom::ResourceKind::MotionPart)
        return walked(rom::readMotionPart(block, 0, kBlock));
    if (kind == rom::ResourceKind::ShadowEtc)
        return walked(rom::readShadowEtc(block, 0, kBlock));
    return walked(rom::readCutinScroll(block, 0, kBlock));
}

}  // namespace

rom::RomResult<Bytes> buildMotionPartBlock(ByteSpan image, std::uint32_t offset)
{
    using Header = rom::MotionPartHeader;
    auto routine = rom::readMotionPart(image, offset);
    if (!routine)
        return std::unexpected(routine.error());

    rom::BlockWriter writer;
    writer.append(image.subspan(offset, Header::kSize));
    writer.pointHere(Header::kPartTableField);
    const std::size_t partTable = writer.position();
    writer.append(image, routine->partTable);
    pieceGap(writer);
    for (std::size_t i = 0; i < routine->parts.size(); ++i) {
        writer.pointHere(partTable + i * rom::kMotionPartEntrySize);
        writer.append(image, routine->parts[i]);
        pieceGap(writer);
    }
    // A routine without a key block gets a pointer to an empty one.
    writer.pointHere(Header::kKeyBlockField);
    writer.append(image, routine->keyBlock);
    pieceGap(writer);
    return writer.take();
}

rom::RomResult<Bytes> buildShadowEtcBlock(ByteSpan image, std::uint32_t offset)
{
    using Header = rom::ShadowEtcHeader;
    auto routine = rom::readShadowEtc(image, offset);
    if (!routine)
        return std::unexpected(routine.error());

    rom::BlockWriter writer;
    writer.append(image.subspan(offset, Header::kSize));
    headerGap(writer);
    writer.pointHere(Header::kStreamListField);
    const std::size_t list = writer.position();
    writer.append(image, routine->streamList);
    pieceGap(writer);
    for (std::size_t i = 0; i < routine->streams.size(); ++i) {
        writer.pointHere(list + i * rom::kShadowEtcListEntrySize);
        writer.append(image, routine->streams[i]);
        pieceGap(writer);
    }
    return writer.take();
}

rom::RomResult<Bytes> buildCutinScrollBlock(ByteSpan image, std::uint32_t offset)
{
    using Header = rom::CutinScrollHeader;
    auto routine = rom::readCutinScroll(image, offset);
    if (!routine)
        return std::unexpected(routine.error());

    rom::BlockWriter writer;
    writer.append(image.subspan(offset, Header::kSize));
    headerGap(writer);
    writer.pointHere(Header::kCommandsField);
    writer.append(image, routine->commands);
    return writer.take();
}

rom::RomResult<RoutineBlockLayout> readRoutineBlock(rom::ResourceKind kind, ByteSpan block)
{
    RoutineBlockLayout layout;
    std::size_t headerSize = 0;
    std::size_t tableField = 0;
    std::size_t entryCount = 0;
    std::size_t entrySize = 0;
    switch (kind) {
    case rom::ResourceKind::MotionPart:
        headerSize = rom::MotionPartHeader::kSize;
        tableField = rom::MotionPartHeader::kPartTableField;
        entrySize = rom::kMotionPartEntrySize;
        break;
    case rom::ResourceKind::ShadowEtc:
        headerSize = rom::ShadowEtcHeader::kSize;
        tableField = rom::ShadowEtcHeader::kStreamListField;
        entrySize = rom::kShadowEtcListEntrySize;
        break;
    case rom::ResourceKind::CutinScroll:
        headerSize = rom::CutinScrollHeader::kSize;
        tableField = rom::CutinScrollHeader::kCommandsField;
        entrySize = rom::kCutinScrollCommandSize;
        break;
    default:
        return std::unexpected(RomError{std::string(rom::kindName(kind)) + " はルーチンではありません"});
    }
    if (block.size() < headerSize)
        return blockError(kind, "ヘッダが短すぎます");

    if (kind == rom::ResourceKind::MotionPart)
        entryCount = block[0];
    else if (kind == rom::ResourceKind::ShadowEtc)
        entryCount = static_cast<std::size_t>(std::popcount(rom::loadU16(block, 0)));
    else
        entryCount = rom::loadU16(block, 0);

    auto table = pointedTable(kind, block, tableField, entryCount, entrySize);
    if (!table)
        return std::unexpected(table.error());

    if (kind == rom::ResourceKind::CutinScroll) {
        layout.commandsOffset = *table;
        layout.commandCount = entryCount;
    } else {
        // The first field of every part entry and every list entry points at a stream.
        for (std::size_t i = 0; i < entryCount; ++i)
            layout.pointerFields.push_back(*table + i * entrySize);
    }
    layout.pointerFields.push_back(tableField);
    if (kind == rom::ResourceKind::MotionPart)
        layout.pointerFields.push_back(rom::MotionPartHeader::kKeyBlockField);

    for (std::size_t field : layout.pointerFields) {
        if (blockOffsetOf(rom::loadU32(block, field)) > block.size())
            return blockError(kind, "ポインタがブロックの外を指しています");
    }
    // The pointers are block-relative GBA addresses, so the routine readers walk the block as they
    // walk an image: every stream and key block must end inside it, or a cut file would carry
    // whatever follows it in the image into the game's reads.
    if (auto walked = walkRoutine(kind, block); !walked)
        return blockError(kind, walked.error().message);
    return layout;
}

rom::RomResult<CheckedRoutineBlock> CheckedRoutineBlock::check(rom::ResourceKind kind, Bytes bytes)
{
    if (bytes.empty())
        return CheckedRoutineBlock(std::move(bytes), {});
    auto layout = readRoutineBlock(kind, bytes);
    if (!layout)
        return std::unexpected(layout.error());
    return CheckedRoutineBlock(std::move(bytes), std::move(*layout));
}

void relocateRoutineBlock(MutableByteSpan block, const RoutineBlockLayout& layout,
                          std::uint32_t base)
{
    for (std::size_t field : layout.pointerFields)
        rom::storeU32(block, field, rom::loadU32(block, field) + base);
}

std::vector<RemappedField> cutinScrollIdFields(ByteSpan block, const RoutineBlockLayout& layout)
{
    namespace cmd = rom::cutin_command;
    std::vector<RemappedField> fields;
    for (std::size_t i = 0; i < layout.commandCount; ++i) {
        const std::size_t at = layout.commandsOffset + i * rom::kCutinScrollCommandSize;
        const ByteSpan command = block.subspan(at, rom::kCutinScrollCommandSize);
        const std::uint8_t opcode = command[0];
        if (opcode == cmd::kGraphicChange)
            fields.push_back(
                {at + cmd::kGraphicChangeIdField, rom::ResourceKind::GraphicDifinition});
        else if (opcode == cmd::kUnitCutin &&
                 cmd::unitCutinModeCarriesId(command[cmd::kUnitCutinModeField]))
            fields.push_back({at + cmd::kUnitCutinIdField, rom::ResourceKind::UnitCutin});
        else if (opcode >= cmd::kSystemAnimeFirst && opcode <= cmd::kSystemAnimeLast)
            fields.push_back({at + cmd::kSystemAnimeIdField, rom::ResourceKind::SystemAnime});
    }
    return fields;
}

void remapCutinScrollIds(MutableByteSpan block, const RoutineBlockLayout& layout,
                         const rom::UnitResourceSet& target, const rom::UnitResourceSet& source)
{
    const IdRemap remap(target, source);
    for (const RemappedField& field : cutinScrollIdFields(block, layout))
        remap.field(block, field.offset, field.kind);
}

}  // namespace transplant
