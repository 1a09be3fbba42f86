// Writes the demo sound image (see sound_rom_builder.hpp) to the path given, for the checks that
// run the Sonnary executable.

#include "tests/sound/sound_rom_builder.hpp"

#include <exception>
#include <iostream>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: sound_demo_rom OUT.gba\n";
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
