// libFuzzer target: the three length walks, the routine layouts built on them and the editor's
// walks, on raw bytes at a fuzzed offset (past the end included).
//
// Input: [offset u16] [limit u16] [total frames u16] then the buffer.
// Properties: a measured block lies inside the buffer; the LZ77 and key block walks read nothing
// past the length they return, so the buffer cut right behind the block measures the same; every
// range of a routine layout lies inside the buffer; a routine the layout reader accepts gives a
// self-contained block that the transplant accepts, and a routine the editor reads writes a block
// that reads back the same.

#include "editor/routine_serializer.hpp"
#include "editor/unit_reader.hpp"
#include "rom/byte_io.hpp"
#include "rom/gba_address.hpp"
#include "rom/length_walks.hpp"
#include "rom/lz77.hpp"
#include "rom/routines.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/fuzz/image_patch.hpp"
#include "transplant/routine_blocks.hpp"

#include <cstdlib>

namespace {

// Offsets run a little past the buffer's end, where every walk must refuse.
constexpr std::uint32_t kPastEnd = 8;

bool inside(rom::ByteSpan buffer, std::uint64_t offset, std::uint64_t length)
{
    return rom::fits(buffer.size(), offset, length);
}

// An empty range is never followed, so its offset may be anything.
bool inside(rom::ByteSpan buffer, const rom::ByteRange& range)
{
    return range.length == 0 || inside(buffer, range.offset, range.length);
}

// A walk that reads nothing past its result measures the same on the buffer cut behind it.
template <class Walk>
void checkSelfContained(rom::ByteSpan buffer, std::uint32_t offset, Walk walk)
{
    const auto length = walk(buffer);
    if (!length)
        return;
    require(inside(buffer, offset, *length));
    const auto again = walk(buffer.first(offset + *length));
    require(again.has_value() && *again == *length);
}

void checkLayouts(rom::ByteSpan buffer, std::uint32_t offset)
{
    using rom::ResourceKind;
    if (auto motion = rom::readMotionPart(buffer, offset)) {
        require(inside(buffer, motion->partTable));
        require(motion->parts.size() == motion->header.bNumPart);
        for (const rom::ByteRange& part : motion->parts)
            require(inside(buffer, part));
        require(inside(buffer, motion->keyBlock));
        auto block = transplant::buildMotionPartBlock(buffer, offset);
        require(block.has_value());
        require(transplant::readRoutineBlock(ResourceKind::MotionPart, *block).has_value());
    }
    if (auto shadow = rom::readShadowEtc(buffer, offset)) {
        require(inside(buffer, shadow->streamList));
        for (const rom::ByteRange& stream : shadow->streams)
            require(inside(buffer, stream));
        auto block = transplant::buildShadowEtcBlock(buffer, offset);
        require(block.has_value());
        require(transplant::readRoutineBlock(ResourceKind::ShadowEtc, *block).has_value());
    }
    if (auto scroll = rom::readCutinScroll(buffer, offset)) {
        require(inside(buffer, scroll->commands));
        auto block = transplant::buildCutinScrollBlock(buffer, offset);
        require(block.has_value());
        require(transplant::readRoutineBlock(ResourceKind::CutinScroll, *block).has_value());
    }
}

// Serializing a routine the editor read and reading the block back gives the same routine.
template <class Routine, class Read>
void checkRoundTrip(std::optional<Routine> routine, Read read, std::uint32_t base)
{
    if (!routine || !routine->present)
        return;
    const editor::SerializedRoutine first = editor::SerializeRoutine(*routine, base);
    require(!first.block.empty());
    // A block placed at `base` names offsets from `base` on; read it where it lies.
    shell::Bytes placed(base, 0);
    placed.insert(placed.end(), first.block.begin(), first.block.end());
    auto back = read(rom::ByteSpan(placed), first.pointer, rom::DataSource::Rom);
    require(back.has_value() && back->present);
    const editor::SerializedRoutine second = editor::SerializeRoutine(*back, base);
    require(second.block == first.block && second.pointer == first.pointer);
}

template <class T>
std::optional<T> valueOf(rom::RomResult<T> result)
{
    if (!result)
        return std::nullopt;
    return std::move(*result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_patch::InputReader input(data, size);
    const std::uint16_t offsetChoice = input.u16();
    const std::uint16_t limit = input.u16();
    const std::uint16_t frames = input.u16();
    const rom::ByteSpan buffer = input.rest();
    const auto offset = static_cast<std::uint32_t>(offsetChoice % (buffer.size() + kPastEnd));

    checkSelfContained(buffer, offset,
                       [&](rom::ByteSpan b) { return rom::measureLz77Block(b, offset); });
    checkSelfContained(buffer, offset,
                       [&](rom::ByteSpan b) { return rom::measureKeyBlock(b, offset, frames); });
    if (auto length = rom::measurePartStream(buffer, offset, limit))
        require(inside(buffer, offset, *length) && *length > 0);

    const std::uint32_t pointer = rom::gbaPointerOf(offset);
    checkLayouts(buffer, offset);
    // Routine files are written for base 0; a port writes them behind the image.
    const std::uint32_t base = (limit & 1) ? 0 : 16 * (limit % 64);
    checkRoundTrip(valueOf(editor::ReadMotionPartRoutine(buffer, pointer)),
                   editor::ReadMotionPartRoutine, base);
    checkRoundTrip(valueOf(editor::ReadShadowEtcRoutine(buffer, pointer)),
                   editor::ReadShadowEtcRoutine, base);
    checkRoundTrip(valueOf(editor::ReadCutinScrollRoutine(buffer, pointer)),
                   editor::ReadCutinScrollRoutine, base);
    return 0;
}
