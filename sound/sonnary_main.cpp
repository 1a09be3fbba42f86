// Sonnary, the sound sample extractor: the command line for a command, otherwise its window.

#include "shell/tool_start.hpp"
#include "sound/playback/system_sound_output.hpp"
#include "sound/sonnary_cli.hpp"

int main(int argc, char* argv[])
{
    // Opens no device until a command plays.
    sound::SystemSoundOutput output;
    return shell::startTool(argc, argv, sound::sonnaryCommandLine(output));
}
