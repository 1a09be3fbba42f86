#pragma once
// The viewer's command line: `Vistrel render` draws a sheet as the viewer does and writes it as
// PNG. It runs the session the window uses, with a command-line Shell, and needs no display.

#include "shell/bytes.hpp"
#include "sprite/png_file.hpp"
#include "sprite/sheet.hpp"

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace sprite {

// Encodes a canvas as a PNG file's bytes, or nothing when it cannot. The image library lives on
// the executable's side, so the core stays free of it.
using PngEncoder = std::function<std::optional<shell::Bytes>(const SheetCanvas&, PngKind)>;

bool isVistrelCommand(std::string_view word);

// `arguments` starts with the subcommand. Return the process exit status.
int runVistrelCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                      const PngEncoder& encodePng);

// A hexadecimal address as typed into the address dialog, without prefix: 1 to 8 digits.
std::optional<std::uint32_t> parseHexAddress(std::string_view text);

}  // namespace sprite
