#pragma once
// Every playable sample of an instrument table, each once, as WAV files in one folder. A sample is
// named after the first instrument (and note line) that leads to it, in the hexadecimal of the
// lists: "inst05.wav" for a plain instrument, "inst2A_note3C.wav" through a note-switch
// instrument or a drum set.

#include "shell/shell.hpp"
#include "sound/instruments.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sound {

struct SampleSource {
    std::size_t instrument = 0;
    std::optional<std::size_t> note;  // the note line, for note-switch and drum instruments
    std::uint32_t sampleOffset = 0;   // ROM offset of the sample header
};

// The samples the instruments of the list lead to, in list order, each sample offset once.
std::vector<SampleSource> playableSamples(const InstrumentTable& table, ListLimit limit);

std::string exportFileName(const SampleSource& source);

struct ExportSummary {
    std::size_t written = 0;
    std::size_t outsideImage = 0;  // samples whose header or data run past the image
    bool failed = false;           // the files could not all be written; none of them was
};

// Writes the WAV files of `sources` into `folder`, all or nothing: every file is built in memory
// first, and the folder (created when missing) receives the whole set or, after a failure, none
// of it. A sample that runs past the image is left out and said so on `shell`. Only after the
// set is in place is one progress line per file printed on `progress`.
ExportSummary exportSamples(shell::Shell& shell, shell::ByteSpan image,
                            const std::vector<SampleSource>& sources,
                            const std::filesystem::path& folder, std::ostream& progress);

}  // namespace sound
