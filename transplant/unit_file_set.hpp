#pragma once
// A file set read back for a transplant: every file the loaded index lists, read whole and checked
// before the image is touched, so a set with a missing, short or damaged file changes nothing.

#include "rom/byte_io.hpp"
#include "rom/unit_resources.hpp"
#include "shell/shell.hpp"
#include "transplant/extension_info.hpp"
#include "transplant/routine_blocks.hpp"

#include <filesystem>
#include <optional>
#include <vector>

namespace transplant {

struct UnitFileSet {
    rom::Bytes unit;
    rom::Bytes unitAnime;
    rom::Bytes icon;
    // One file per list position.
    std::vector<rom::Bytes> weapons;
    std::vector<rom::Bytes> fixedWeaponAnimes;
    std::vector<rom::Bytes> unitCutins;
    std::vector<rom::Bytes> graphicDifinitions;
    std::vector<rom::Bytes> systemAnimes;
    std::vector<rom::Bytes> bgMapHeaders;  // the first 8 bytes of each header file
    std::vector<rom::Bytes> sprites;
    std::vector<rom::Bytes> pallets;
    std::vector<rom::Bytes> bgMaps;
    std::vector<CheckedRoutineBlock> motionParts;
    std::vector<CheckedRoutineBlock> shadowEtcs;
    std::vector<CheckedRoutineBlock> cutinScrolls;
};

// Reads every file of the set in `folder` that `loaded` lists and checks it as the game would
// read it: records have their size, and the IDs they keep (those `loaded` does not carry, which
// the transplant leaves as they are) lie inside the target's tables as `info` gives their last
// IDs; sprite and BG map data are LZ77 streams that end inside their file; routine blocks hold
// the routine their header describes, and an effect routine's commands keep IDs inside the
// tables too. A file that cannot be read is reported by the shell's file message; any problem
// then shows a refusal naming the file and gives nothing.
std::optional<UnitFileSet> readUnitFileSet(shell::Shell& shell, const std::filesystem::path& folder,
                                           const rom::UnitResourceSet& loaded,
                                           const ExtensionInfo& info);

}  // namespace transplant
