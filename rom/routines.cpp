#include "rom/routines.hpp"

#include "rom/gba_address.hpp"
#include "rom/length_walks.hpp"

#include <bit>
#include <string>

namespace rom {
namespace {

template <class Header>
RomResult<Header> readHeader(ByteSpan image, std::uint32_t offset, const char* what,
                             DataSource source)
{
    if (!fits(image.size(), offset, Header::kSize))
        return std::unexpected(outOfImage(what, offset, Header::kSize, source));
    return parseRecord<Header>(image.subspan(offset));
}

// The range `count` x `entrySize` bytes at the target of `gbaPointer`. An empty range is not
// followed, so a routine without entries may hold any pointer there.
RomResult<ByteRange> pointedRange(ByteSpan image, std::uint32_t gbaPointer, std::size_t count,
                                  std::size_t entrySize, const char* what, DataSource source)
{
    const ByteRange range{romOffsetOf(gbaPointer), count * entrySize};
    if (range.length != 0 && !fits(image.size(), range.offset, range.length))
        return std::unexpected(outOfImage(what, range.offset, range.length, source));
    return range;
}

std::string partName(const char* kind, std::size_t index)
{
    return std::string(kind) + std::to_string(index);
}

// The part command stream that `pointer` names, `context` naming it in an error.
RomResult<ByteRange> partStream(ByteSpan image, std::uint32_t pointer, std::uint16_t limit,
                                DataSource source, NullStreams nullStreams,
                                const std::string& context)
{
    if (pointer == 0 && nullStreams == NullStreams::Empty)
        return ByteRange{};
    const std::uint32_t offset = romOffsetOf(pointer);
    auto length = measurePartStream(image, offset, limit, source);
    if (!length)
        return std::unexpected(withContext(length.error(), context));
    return ByteRange{offset, *length};
}

}  // namespace

RomResult<MotionPartLayout> readMotionPart(ByteSpan image, std::uint32_t offset, DataSource source,
                                           NullStreams nullStreams)
{
    MotionPartLayout layout;
    auto header = readHeader<MotionPartHeader>(image, offset, "MotionPartヘッダ", source);
    if (!header)
        return std::unexpected(header.error());
    layout.header = *header;

    auto table = pointedRange(image, header->dwPartTable, header->bNumPart, kMotionPartEntrySize,
                              "MotionPartのパートテーブル", source);
    if (!table)
        return std::unexpected(table.error());
    layout.partTable = *table;

    for (std::size_t i = 0; i < header->bNumPart; ++i) {
        auto stream = partStream(image, loadU32(image, table->offset + i * kMotionPartEntrySize),
                                 header->wTotalFrame, source, nullStreams, partName("パート", i));
        if (!stream)
            return std::unexpected(stream.error());
        layout.parts.push_back(*stream);
    }

    if (header->dwKeyBlock != 0) {
        const std::uint32_t keyOffset = romOffsetOf(header->dwKeyBlock);
        auto length = measureKeyBlock(image, keyOffset, header->wTotalFrame, source);
        if (!length)
            return std::unexpected(length.error());
        layout.keyBlock = {keyOffset, *length};
    }
    return layout;
}

RomResult<ShadowEtcLayout> readShadowEtc(ByteSpan image, std::uint32_t offset, DataSource source,
                                         NullStreams nullStreams)
{
    ShadowEtcLayout layout;
    auto header = readHeader<ShadowEtcHeader>(image, offset, "ShadowEtcヘッダ", source);
    if (!header)
        return std::unexpected(header.error());
    layout.header = *header;

    const auto streamCount = static_cast<std::size_t>(std::popcount(header->wMask));
    auto list = pointedRange(image, header->dwStreamList, streamCount,
                             kShadowEtcListEntrySize, "ShadowEtcのリスト", source);
    if (!list)
        return std::unexpected(list.error());
    layout.streamList = *list;

    for (std::size_t i = 0; i < streamCount; ++i) {
        auto stream = partStream(image, loadU32(image, list->offset + i * kShadowEtcListEntrySize),
                                 kShadowEtcFrameLimit, source, nullStreams,
                                 partName("ストリーム", i));
        if (!stream)
            return std::unexpected(stream.error());
        layout.streams.push_back(*stream);
    }
    return layout;
}

RomResult<CutinScrollLayout> readCutinScroll(ByteSpan image, std::uint32_t offset, DataSource source)
{
    CutinScrollLayout layout;
    auto header = readHeader<CutinScrollHeader>(image, offset, "CutinScrollヘッダ", source);
    if (!header)
        return std::unexpected(header.error());
    layout.header = *header;

    auto commands = pointedRange(image, header->dwCommands, header->wNumCommand,
                                 kCutinScrollCommandSize, "CutinScrollのコマンド", source);
    if (!commands)
        return std::unexpected(commands.error());
    layout.commands = *commands;
    return layout;
}

}  // namespace rom
