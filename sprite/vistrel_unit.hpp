#pragma once
// `Vistrel unit`: every sprite sheet of a unit drawn with the palette that goes with it, written
// into a folder as "sprite<ID>.png" beside "index.txt", which says where each sheet and palette
// lies in the image and which files of a unit folder hold them.

#include "sprite/vistrel_cli.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>

namespace sprite {

struct UnitRequest {
    std::filesystem::path rom;
    std::uint32_t unitId = 0;
    std::filesystem::path dir;
    // Without a seed, sheets without palette take seed 0, so the files are the same run after run.
    DrawOptions draw;
};

// Writes the folder's files all or none, prints the index on `out`; returns the exit status.
int renderUnit(const UnitRequest& request, std::ostream& out, std::ostream& err,
               const PngEncoder& encodePng);

}  // namespace sprite
