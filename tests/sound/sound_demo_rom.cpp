// Writes the demo sound image (see sound_rom_builder.hpp) to the path given, for the checks that
// run the Sonnary executable.

#include "tests/sound/sound_rom_builder.hpp"

#include <exception>
#include <iostream>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "usage: sound_demo_rom OUT.gba\n"
    "Writes the demo sound image (an instrument table with its key maps and samples) for trying\n"
    "Sonnary, to OUT.gba.\n";

}  // namespace

int main(int argc, char* argv[])
{
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (argc == 2 && (first == "--help" || first == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 2 || first.starts_with('-')) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        sound_testing::writeFile(argv[1], sound_testing::makeDemoSound().image);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
