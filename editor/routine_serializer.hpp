#pragma once
// Turning an animation routine into a self-contained block: every pointer inside it becomes a GBA
// pointer to where the pointed-to bytes will lie once the block's first byte is placed at `base`
// (0 for a routine file of its own, the image's end plus the running position for a port).

#include "editor/unit_data_set.hpp"

#include <cstdint>

namespace editor {

struct SerializedRoutine {
    Bytes block;
    std::uint32_t pointer = 0;  // GBA pointer of the routine's header inside the block
};

// Each lays out the routine's data, then its header last, every piece followed by a gap of
// rom::kFolderPieceGap, and leaves the routine holding the rebased pointers. A part or stream
// pointer of 0 stays 0. A routine that is not present gives an empty block and pointer 0.
SerializedRoutine SerializeRoutine(MotionPartRoutine& routine, std::uint32_t base);
SerializedRoutine SerializeRoutine(ShadowEtcRoutine& routine, std::uint32_t base);
SerializedRoutine SerializeRoutine(CutinScrollRoutine& routine, std::uint32_t base);

}  // namespace editor
