#include "sound/instruments.hpp"

#include "rom/byte_io.hpp"
#include "rom/gba_address.hpp"
#include "shell/number_text.hpp"

namespace sound {
namespace {

struct TypeName {
    std::uint8_t type;
    std::string_view name;
};

constexpr TypeName kTypeNames[] = {
    {kTypeMelodyPcm, "メロディ楽器(PCM)[00h]"},
    {kTypePulse1, "パルス波Ch1[01h]"},
    {kTypePulse2, "パルス波Ch2[02h]"},
    {kTypeWaveMemory, "波形メモリ[03h]"},
    {kTypeNoise, "ノイズ[04h]"},
    {kTypeRhythmPcm, "リズム楽器(PCM)[08h]"},
    {kTypeRhythmNoise, "リズム楽器(ノイズ)??[0Ch]"},
    {kTypeUnknown, "不明[10h]"},
    {kTypeCustomSound, "カスタムサウンド？[20h]"},
    {kTypeNoteSwitch, "メロディ(ノート切替)[40h]"},
    {kTypeDrumSet, "ドラムセット[80h]"},
};

constexpr char kListSeparator = '\t';

bool carriesSample(std::uint8_t type)
{
    return type == kTypeMelodyPcm || type == kTypeRhythmPcm;
}

// Offsets inside a record's tables are 32-bit sums, as the pointers are: a pointer below the ROM
// base wraps far beyond any image and the bounds check on the read rejects it.
std::uint32_t entryOffset(std::uint32_t tablePointer, std::size_t entry)
{
    return static_cast<std::uint32_t>(rom::romOffsetOf(tablePointer) + kInstrumentRecordSize * entry);
}

std::string typeNameAt(shell::ByteSpan image, std::uint64_t offset)
{
    const std::optional<InstrumentRecord> record = readInstrumentRecord(image, offset);
    return record ? std::string(instrumentTypeName(record->bType)) : std::string();
}

// A note number as the note lines begin: the hex dump of one byte, two digits and a blank.
std::string noteNumberText(std::size_t note)
{
    const std::uint8_t noteByte = static_cast<std::uint8_t>(note);
    return hexDump(shell::ByteSpan(&noteByte, 1));
}

KeyMap readKeyMap(shell::ByteSpan image, std::uint32_t keyMapPointer)
{
    KeyMap keyMap;
    const std::uint64_t offset = rom::romOffsetOf(keyMapPointer);
    if (!rom::fits(image.size(), offset, kNoteCount))
        return keyMap;
    const auto bytes = image.subspan(static_cast<std::size_t>(offset), kNoteCount);
    std::copy(bytes.begin(), bytes.end(), keyMap.entries.begin());
    while (keyMap.usableNotes < kNoteCount && keyMap.entries[keyMap.usableNotes] != 0)
        ++keyMap.usableNotes;
    return keyMap;
}

}  // namespace

std::optional<InstrumentRecord> readInstrumentRecord(shell::ByteSpan image, std::uint64_t offset)
{
    if (!rom::fits(image.size(), offset, kInstrumentRecordSize))
        return std::nullopt;
    const auto bytes = image.subspan(static_cast<std::size_t>(offset), kInstrumentRecordSize);
    return InstrumentRecord{
        .bType = bytes[kRecordTypeOffset],
        .dwFirstPointer = rom::loadU32(bytes, kRecordFirstPointerOffset),
        .dwSecondPointer = rom::loadU32(bytes, kRecordSecondPointerOffset),
    };
}

std::string_view instrumentTypeName(std::uint8_t type)
{
    for (const TypeName& entry : kTypeNames) {
        if (entry.type == type)
            return entry.name;
    }
    return {};
}

std::string hexDump(shell::ByteSpan bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        text += shell::fixedHexText(byte, 2);
        text += ' ';
    }
    return text;
}

std::string recordDump(shell::ByteSpan image, std::uint64_t offset)
{
    if (!rom::fits(image.size(), offset, kInstrumentRecordSize))
        return {};
    return hexDump(image.subspan(static_cast<std::size_t>(offset), kInstrumentRecordSize));
}

std::optional<std::uint32_t> sampleOffsetOf(const InstrumentRecord& record)
{
    if (!carriesSample(record.bType))
        return std::nullopt;
    return rom::romOffsetOf(record.dwFirstPointer);
}

InstrumentTable::InstrumentTable(shell::ByteSpan image, std::uint32_t tableOffset)
    : image_(image), tableOffset_(tableOffset)
{
}

std::uint64_t InstrumentTable::instrumentOffset(std::size_t index) const
{
    return std::uint64_t{tableOffset_} + std::uint64_t{kInstrumentRecordSize} * index;
}

std::optional<InstrumentRecord> InstrumentTable::instrument(std::size_t index) const
{
    return readInstrumentRecord(image_, instrumentOffset(index));
}

std::size_t InstrumentTable::instrumentCount(ListLimit limit) const
{
    if (limit == ListLimit::To7F)
        return kInstrumentListLimit;
    // The records end where the image does, so this walk ends too.
    std::size_t count = 1;
    while (!typeNameAt(image_, instrumentOffset(count)).empty())
        ++count;
    return count;
}

std::vector<std::string> InstrumentTable::instrumentLines(ListLimit limit) const
{
    const std::size_t count = instrumentCount(limit);
    std::vector<std::string> lines;
    lines.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        lines.push_back(shell::hexText(index) + kListSeparator +
                        typeNameAt(image_, instrumentOffset(index)));
    return lines;
}

std::string InstrumentTable::noteLine(std::size_t note, std::uint32_t entry) const
{
    return noteNumberText(note) + "(" + shell::hexText(entry) + ")" + typeNameAt(image_, entry);
}

NoteList InstrumentTable::noteList(std::size_t index) const
{
    NoteList list;
    const std::optional<InstrumentRecord> record = instrument(index);
    const std::optional<std::uint8_t> type =
        record ? std::optional<std::uint8_t>(record->bType) : std::nullopt;
    if (type == kTypeNoteSwitch) {
        list.keyMap = readKeyMap(image_, record->dwSecondPointer);
        if (list.keyMap.usableNotes == 0) {
            list.lines.emplace_back(kEmptyKeyMapLine);
            return list;
        }
        std::optional<std::uint32_t> previous;
        for (std::size_t note = 0; note < list.keyMap.usableNotes; ++note) {
            const std::uint32_t entry = entryOffset(record->dwFirstPointer, list.keyMap.entries[note]);
            if (entry == previous) {
                list.lines.push_back(noteNumberText(note) + std::string(kRepeatedEntryText));
                continue;
            }
            list.lines.push_back(noteLine(note, entry));
            previous = entry;
        }
        return list;
    }
    if (type == kTypeDrumSet) {
        for (std::size_t note = 0; note < kNoteCount; ++note)
            list.lines.push_back(noteLine(note, entryOffset(record->dwFirstPointer, note)));
        return list;
    }
    list.lines.emplace_back(kNoteIndependentLine);
    return list;
}

std::optional<std::uint64_t> InstrumentTable::noteRecordOffset(std::size_t index, std::size_t line,
                                                               const KeyMap& keyMap) const
{
    const std::optional<InstrumentRecord> record = instrument(index);
    if (!record)
        return std::nullopt;
    if (record->bType == kTypeNoteSwitch) {
        if (line >= keyMap.usableNotes)
            return std::nullopt;
        return entryOffset(record->dwFirstPointer, keyMap.entries[line]);
    }
    // A drum set has a line per note; any other instrument has its one line.
    const std::size_t lines = record->bType == kTypeDrumSet ? kNoteCount : 1;
    if (line >= lines)
        return std::nullopt;
    return entryOffset(record->dwFirstPointer, line);
}

std::optional<InstrumentRecord> InstrumentTable::recordToPlay(std::size_t index,
                                                              std::optional<std::size_t> line,
                                                              const KeyMap& keyMap) const
{
    const std::optional<InstrumentRecord> record = instrument(index);
    if (!record)
        return std::nullopt;
    if (record->bType != kTypeNoteSwitch && record->bType != kTypeDrumSet)
        return record;
    if (!line)
        return std::nullopt;
    const std::optional<std::uint64_t> entry = noteRecordOffset(index, *line, keyMap);
    if (!entry)
        return std::nullopt;
    return readInstrumentRecord(image_, *entry);
}

}  // namespace sound
