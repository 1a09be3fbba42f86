#pragma once
// The three animation routines as self-contained blocks: extraction copies a routine and every
// piece it points to into one buffer whose pointers are GBA addresses relative to the buffer's
// start; the transplant checks such a block, rebases its pointers onto the place it gets in the
// target image, and rewrites the record IDs that effect routines carry.

#include "rom/byte_io.hpp"
#include "rom/resource_kind.hpp"
#include "rom/rom_error.hpp"
#include "rom/unit_resources.hpp"
#include "transplant/remapped_fields.hpp"

#include <cstdint>
#include <utility>
#include <vector>

namespace transplant {

// Blocks built from the routine whose header lies at `offset` of `image`.
rom::RomResult<rom::Bytes> buildMotionPartBlock(rom::ByteSpan image, std::uint32_t offset);
rom::RomResult<rom::Bytes> buildShadowEtcBlock(rom::ByteSpan image, std::uint32_t offset);
rom::RomResult<rom::Bytes> buildCutinScrollBlock(rom::ByteSpan image, std::uint32_t offset);

// Where the pointers of a block lie, found from its header. Fails unless every table the header
// names and every pointer lies inside the block, so a checked block can be rebased and remapped
// without reading or writing past it.
struct RoutineBlockLayout {
    std::vector<std::size_t> pointerFields;  // offsets of the u32 pointers to rebase
    std::size_t commandsOffset = 0;          // effect routines: the command area
    std::size_t commandCount = 0;
};

// `kind` is MotionPart, ShadowEtc or CutinScroll.
rom::RomResult<RoutineBlockLayout> readRoutineBlock(rom::ResourceKind kind, rom::ByteSpan block);

// A routine block of a file set that readRoutineBlock accepted, carried with the layout it found,
// so that it is placed, rebased and remapped without being checked again. An empty block stands
// for an empty table entry.
class CheckedRoutineBlock {
public:
    static rom::RomResult<CheckedRoutineBlock> check(rom::ResourceKind kind, rom::Bytes bytes);

    const rom::Bytes& bytes() const { return bytes_; }
    const RoutineBlockLayout& layout() const { return layout_; }

private:
    CheckedRoutineBlock(rom::Bytes bytes, RoutineBlockLayout layout)
        : bytes_(std::move(bytes)), layout_(std::move(layout))
    {
    }

    rom::Bytes bytes_;
    RoutineBlockLayout layout_;
};

// Adds `base`, the block's offset in the target image, to every pointer of a copy of a checked
// block whose layout is `layout`.
void relocateRoutineBlock(rom::MutableByteSpan block, const RoutineBlockLayout& layout,
                          std::uint32_t base);

// The ID fields of the commands of an effect routine block that readRoutineBlock accepted with
// `layout`: the graphic change, unit cut-in and system animation IDs, by offset in the block.
std::vector<RemappedField> cutinScrollIdFields(rom::ByteSpan block,
                                               const RoutineBlockLayout& layout);

// Rewrites the graphic change, unit cut-in and system animation IDs that the commands of a copy
// of a checked effect routine block name, from the IDs of `source` (the loaded set) to those at
// the same position in `target` (the free IDs).
void remapCutinScrollIds(rom::MutableByteSpan block, const RoutineBlockLayout& layout,
                         const rom::UnitResourceSet& target, const rom::UnitResourceSet& source);

}  // namespace transplant
