#include "sound/sample_export.hpp"

#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "sound/wave.hpp"

#include <set>

namespace sound {
namespace {

constexpr int kFileNameDigits = 2;

void addSample(std::vector<SampleSource>& sources, std::set<std::uint32_t>& seen,
               const std::optional<InstrumentRecord>& record, std::size_t instrument,
               std::optional<std::size_t> note)
{
    if (!record)
        return;
    const std::optional<std::uint32_t> sample = sampleOffsetOf(*record);
    if (sample && seen.insert(*sample).second)
        sources.push_back({instrument, note, *sample});
}

}  // namespace

std::vector<SampleSource> playableSamples(const InstrumentTable& table, ListLimit limit)
{
    std::vector<SampleSource> sources;
    std::set<std::uint32_t> seen;
    const std::size_t count = table.instrumentCount(limit);
    for (std::size_t index = 0; index < count; ++index) {
        const std::optional<InstrumentRecord> record = table.instrument(index);
        if (!record)
            continue;
        if (record->bType != kTypeNoteSwitch && record->bType != kTypeDrumSet) {
            addSample(sources, seen, record, index, std::nullopt);
            continue;
        }
        // The note lines are those of the note list: the usable notes of a key map, or the
        // 128 drums.
        const NoteList notes = table.noteList(index);
        const std::size_t lines =
            record->bType == kTypeNoteSwitch ? notes.keyMap.usableNotes : kNoteCount;
        for (std::size_t note = 0; note < lines; ++note)
            addSample(sources, seen, table.recordToPlay(index, note, notes.keyMap), index, note);
    }
    return sources;
}

std::string exportFileName(const SampleSource& source)
{
    std::string name = "inst" + shell::paddedHexText(source.instrument, kFileNameDigits);
    if (source.note)
        name += "_note" + shell::paddedHexText(*source.note, kFileNameDigits);
    return name + ".wav";
}

ExportSummary exportSamples(shell::Shell& shell, shell::ByteSpan image,
                            const std::vector<SampleSource>& sources,
                            const std::filesystem::path& folder, std::ostream& progress)
{
    ExportSummary summary;
    std::vector<shell::FolderFile> waves;
    std::vector<std::size_t> positions;  // of each wave among `sources`, for the progress lines
    for (std::size_t position = 0; position < sources.size(); ++position) {
        std::string name = exportFileName(sources[position]);
        std::optional<shell::Bytes> wave = buildWave(image, sources[position].sampleOffset);
        if (!wave) {
            ++summary.outsideImage;
            shell::showMessage(shell, name + ": " + std::string(kSampleOutsideImage), std::nullopt,
                               shell::Buttons::Ok, shell::Icon::Warning);
            continue;
        }
        waves.push_back({std::move(name), std::move(*wave)});
        positions.push_back(position);
    }

    // Every file can be made again from the image: no flush to the disk per sample.
    if (!shell::writeFolderFiles(shell, folder, waves, shell::Durability::Replace)) {
        summary.failed = true;
        return summary;
    }
    summary.written = waves.size();
    const std::string total = std::to_string(sources.size());
    for (std::size_t i = 0; i < waves.size(); ++i) {
        progress << "[" << positions[i] + 1 << "/" << total << "] " << waves[i].name << " ("
                 << shell::hexText(sources[positions[i]].sampleOffset) << ")\n";
    }
    return summary;
}

}  // namespace sound
