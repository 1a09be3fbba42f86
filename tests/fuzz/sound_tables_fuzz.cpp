// libFuzzer target: the instrument list, the note lists, the samples they lead to and their WAV
// files, over a synthetic sound image (built once) that the input patches and then cuts short, so
// that the table, key maps, sub-tables and samples run into the image's end. Every patch is undone
// after the run. The lists must keep their promised shapes, and a WAV file is made exactly when
// the sample lies wholly inside the image, from its bytes.

#include "rom/byte_io.hpp"
#include "rom/gba_address.hpp"
#include "shell/number_text.hpp"
#include "sound/instruments.hpp"
#include "sound/sample_export.hpp"
#include "sound/wave.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace {

using sound_testing::Bytes;

// The demo table has records 0 to 0x81; the data area behind 0x1000 holds the samples, sub-tables
// and key maps they point to.
constexpr std::size_t kDemoRecords = 0x82;
constexpr std::size_t kTableBytes = kDemoRecords * sound::kInstrumentRecordSize;
constexpr std::size_t kDataStart = 0x1000;
constexpr std::size_t kDataSpan = 0x1000;
constexpr std::size_t kTailSpan = 0x400;
// Instruments whose note lists are checked one by one; the unlimited list may run on to the
// image's end, and the sample collection covers all of it.
constexpr std::size_t kCheckedInstruments = 0x100;

struct Undo {
    std::size_t offset;
    Bytes old;
};

Bytes& image()
{
    static Bytes built = sound_testing::makeDemoSound("KX4M").image;
    return built;
}

using fuzz_support::Input;

void patch(std::vector<Undo>& undo, std::size_t offset, const Bytes& bytes)
{
    Bytes& target = image();
    if (offset >= target.size())
        return;
    const std::size_t length = std::min(bytes.size(), target.size() - offset);
    undo.push_back({offset, Bytes(target.begin() + static_cast<std::ptrdiff_t>(offset),
                                  target.begin() + static_cast<std::ptrdiff_t>(offset + length))});
    std::memcpy(target.data() + offset, bytes.data(), length);
}

// Patches: a region (the table, the data area, the image's tail), an offset in it and bytes; or a
// record pointer aimed at one of those regions, which random bytes would rarely hit.
void applyPatches(Input& input, std::vector<Undo>& undo, std::uint32_t tableOffset)
{
    const std::size_t size = image().size();
    while (!input.empty()) {
        const std::uint8_t kind = input.byte();
        const std::uint16_t where = input.u16();
        std::size_t offset = 0;
        switch (kind % 4) {
        case 0: offset = tableOffset + where % kTableBytes; break;
        case 1: offset = kDataStart + where % kDataSpan; break;
        case 2: offset = size - 1 - where % kTailSpan; break;
        default: {
            // A pointer field of record `where`, aimed into the data area or the tail.
            const std::size_t record = tableOffset + (where % kDemoRecords) * sound::kInstrumentRecordSize;
            const std::size_t field = (kind & 0x10) != 0 ? sound::kRecordSecondPointerOffset
                                                         : sound::kRecordFirstPointerOffset;
            const std::uint16_t to = input.u16();
            const std::size_t target = (kind & 0x20) != 0 ? size - 1 - to % kTailSpan
                                                          : kDataStart + to % kDataSpan;
            Bytes pointer(4);
            rom::storeU32(pointer, 0, rom::gbaPointerOf(static_cast<std::uint32_t>(target)));
            patch(undo, record + field, pointer);
            continue;
        }
        }
        Bytes bytes(input.byte() % 16 + 1);
        for (std::uint8_t& b : bytes)
            b = input.byte();
        patch(undo, offset, bytes);
    }
}

bool named(shell::ByteSpan image, std::uint64_t offset)
{
    return rom::fits(image.size(), offset, sound::kInstrumentRecordSize) &&
           !sound::instrumentTypeName(image[static_cast<std::size_t>(offset)]).empty();
}

void checkInstrumentLists(const sound::InstrumentTable& table)
{
    const std::vector<std::string> limited = table.instrumentLines(sound::ListLimit::To7F);
    if (limited.size() != sound::kInstrumentListLimit)
        std::abort();
    const std::vector<std::string> lines = table.instrumentLines(sound::ListLimit::Unlimited);
    if (lines.empty())
        std::abort();
    // The unlimited list ends before the first record (after line 0) without a type name.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!named(table.image(), table.instrumentOffset(i)))
            std::abort();
    }
    if (named(table.image(), table.instrumentOffset(lines.size())))
        std::abort();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(shell::hexText(i) + '\t', 0) != 0)
            std::abort();
    }
}

void checkNoteList(const sound::InstrumentTable& table, std::size_t index)
{
    const sound::NoteList list = table.noteList(index);
    const std::optional<sound::InstrumentRecord> record = table.instrument(index);
    const sound::KeyMap& keys = list.keyMap;
    if (record && record->bType == sound::kTypeNoteSwitch) {
        if (keys.usableNotes > sound::kNoteCount)
            std::abort();
        for (std::size_t note = 0; note < keys.usableNotes; ++note) {
            if (keys.entries[note] == 0)
                std::abort();
        }
        if (keys.usableNotes < sound::kNoteCount && keys.entries[keys.usableNotes] != 0)
            std::abort();
        if (list.lines.size() != std::max<std::size_t>(keys.usableNotes, 1))
            std::abort();
        // A note past the usable ones names no record and plays nothing.
        if (table.noteRecordOffset(index, keys.usableNotes, keys) ||
            table.recordToPlay(index, keys.usableNotes, keys))
            std::abort();
    } else if (record && record->bType == sound::kTypeDrumSet) {
        if (list.lines.size() != sound::kNoteCount)
            std::abort();
    } else if (list.lines.size() != 1 || list.lines[0] != sound::kNoteIndependentLine) {
        std::abort();
    }
}

void checkWave(shell::ByteSpan image, std::uint32_t offset)
{
    const std::optional<shell::Bytes> wave = sound::buildWave(image, offset);
    const bool headerInside = rom::fits(image.size(), offset, sound::kSampleHeaderSize);
    const std::uint32_t length =
        headerInside ? *rom::readU32(image, std::uint64_t{offset} + sound::kSampleLengthOffset) : 0;
    const bool inside =
        headerInside && rom::fits(image.size(), std::uint64_t{offset} + sound::kSampleHeaderSize, length);
    if (wave.has_value() != inside || sound::readSampleHeader(image, offset).has_value() != inside)
        std::abort();
    if (!wave)
        return;
    if (wave->size() != sound::kWaveHeaderSize + length || std::memcmp(wave->data(), "RIFF", 4) != 0 ||
        rom::loadU32(*wave, 40) != length)
        std::abort();
    if (length == 0)
        return;
    // The first and last samples, negated around the unsigned midpoint.
    const std::size_t samples = offset + sound::kSampleHeaderSize;
    for (const std::size_t i : {std::size_t{0}, std::size_t{length - 1}}) {
        if ((*wave)[sound::kWaveHeaderSize + i] != static_cast<std::uint8_t>(128 - image[samples + i]))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    image();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint32_t tableOffset = sound_testing::kTalmirTable;
    Input input(data, size);
    const std::uint8_t mode = input.byte();
    const std::uint16_t cut = input.u16();
    std::vector<Undo> undo;
    applyPatches(input, undo, tableOffset);

    // The image seen: whole, ending inside the table or just behind it, or ending before it.
    std::size_t visible = image().size();
    switch (mode % 4) {
    case 1: visible = tableOffset + cut % (kTableBytes + sound::kInstrumentRecordSize); break;
    case 2: visible = tableOffset + (cut % (kDemoRecords + 1)) * sound::kInstrumentRecordSize; break;
    case 3: visible = kDataStart + cut; break;
    default: break;
    }
    const shell::ByteSpan seen(image().data(), visible);
    const sound::InstrumentTable table(seen, tableOffset);

    checkInstrumentLists(table);
    const std::size_t count = std::min(table.instrumentCount(sound::ListLimit::Unlimited), kCheckedInstruments);
    for (std::size_t index = 0; index < std::max(count, sound::kInstrumentListLimit); ++index)
        checkNoteList(table, index);

    const sound::ListLimit limit = (mode & 4) != 0 ? sound::ListLimit::Unlimited : sound::ListLimit::To7F;
    std::set<std::uint32_t> seenSamples;
    for (const sound::SampleSource& source : sound::playableSamples(table, limit)) {
        if (!seenSamples.insert(source.sampleOffset).second)
            std::abort();
        checkWave(seen, source.sampleOffset);
    }

    for (auto it = undo.rbegin(); it != undo.rend(); ++it)
        std::memcpy(image().data() + it->offset, it->old.data(), it->old.size());
    return 0;
}
