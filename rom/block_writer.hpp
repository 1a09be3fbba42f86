#pragma once
// The one writer of the blocks the tools lay out: a routine file of a unit folder, the block a port
// appends to an image, and the routine blocks of a transplant's file set. A block knows the offset
// `base` its first byte will have in the image, so that a pointer to any of its bytes can be
// written before the block is placed; base 0 gives pointers relative to the block's own start.

#include "rom/byte_io.hpp"
#include "rom/gba_address.hpp"
#include "rom/record_fields.hpp"
#include "rom/routines.hpp"

#include <cstdint>

namespace rom {

// Every piece of a block starts at a multiple of 16 bytes of the image it lies in.
inline constexpr std::uint32_t kBlockPieceAlignment = 16;
// The gaps behind pieces, as each kind of block has always been written (see BlockWriter::gap):
// unit folders' routine files and ports leave 17 to 32 bytes; a transplant's routine blocks leave
// 33 to 48 behind their pieces, and 1 to 16 behind a header that pieces follow.
inline constexpr std::uint32_t kFolderPieceGap = 32;
inline constexpr std::uint32_t kTransplantPieceGap = 48;
inline constexpr std::uint32_t kTransplantHeaderGap = 16;

class BlockWriter {
public:
    explicit BlockWriter(std::uint32_t base = 0) : base_(base) {}

    std::uint32_t position() const { return static_cast<std::uint32_t>(block_.size()); }
    // The image offset and the GBA pointer of the next byte written, once the block lies at its base.
    std::uint32_t offsetHere() const { return base_ + position(); }
    std::uint32_t pointerHere() const { return gbaPointerOf(offsetHere()); }
    // Stores pointerHere() into the u32 at `field` of the bytes already written.
    void pointHere(std::size_t field) { storeU32(block_, field, pointerHere()); }

    void append(ByteSpan bytes) { block_.insert(block_.end(), bytes.begin(), bytes.end()); }
    // The bytes of `range` in `image`. An empty range may name any offset (an empty table is
    // never followed), so it appends nothing without looking at the image.
    void append(ByteSpan image, const ByteRange& range)
    {
        if (range.length != 0)
            append(image.subspan(range.offset, range.length));
    }
    template <class Record>
    void appendRecord(const Record& record)
    {
        const auto bytes = serializeRecord(record);
        append(bytes);
    }
    void appendU32(std::uint32_t value)
    {
        std::uint8_t bytes[4];
        storeU32(bytes, 0, value);
        append(bytes);
    }

    // Zeros up to the next multiple of kBlockPieceAlignment in the image, `stride` bytes less the
    // distance past the last multiple: stride - 15 to stride bytes, never none, so that even an
    // aligned end is followed by a gap.
    void gap(std::uint32_t stride)
    {
        block_.resize(block_.size() + stride - offsetHere() % kBlockPieceAlignment, 0);
    }

    const Bytes& bytes() const { return block_; }
    Bytes take() { return std::move(block_); }

private:
    std::uint32_t base_;
    Bytes block_;
};

}  // namespace rom
