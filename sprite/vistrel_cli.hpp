#pragma once
// The viewer's command line: `Vistrel render` draws one sheet as the viewer does and writes it as
// PNG; `Vistrel unit` draws every sheet of a unit and writes where each lies. Both run without a
// display; `render` runs the session the window uses, with a command-line Shell.

#include "shell/bytes.hpp"
#include "shell/command_frame.hpp"
#include "sprite/png_file.hpp"
#include "sprite/sheet.hpp"

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace sprite {

// Encodes a canvas as a PNG file's bytes, or nothing when it cannot; tests put their own in.
using PngEncoder = std::function<std::optional<shell::Bytes>(const SheetCanvas&, const PngOptions&)>;

// How both commands draw: the colours of a sheet without palette, the palette bank, the PNG kind.
struct DrawOptions {
    std::optional<std::uint32_t> seed;
    std::uint32_t bank = 0;
    PngOptions png;
};

shell::ToolSpec vistrelCommandLine(PngEncoder encodePng = encodeSheetPng);

// Runs `words` (the command and its arguments) as Vistrel's command line; the exit status.
int runVistrelCommand(std::span<const std::string> words, std::ostream& out, std::ostream& err,
                      const PngEncoder& encodePng = encodeSheetPng);

// An offset as the command line takes it: hexadecimal as typed into the address dialog (1 to 8
// digits), also with "0x", and a GBA pointer (0x08000000 and up) names the offset it points to.
std::optional<std::uint32_t> parseHexAddress(std::string_view text);

}  // namespace sprite
