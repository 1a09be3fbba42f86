#pragma once
// The instrument table of a recognised game: its records, their type names, the lines of the
// instrument and note lists, the record dumps, and the choice of the record a play uses. Every
// read is checked against the image: a record or key map that lies outside it reads as nothing,
// which shows as an empty type and leads to no sample.

#include "shell/bytes.hpp"
#include "sound/sound_layout.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sound {

struct InstrumentRecord {
    std::uint8_t bType = 0;
    std::uint32_t dwFirstPointer = 0;   // sample, sub-instrument table or drum table
    std::uint32_t dwSecondPointer = 0;  // key map of a note-switch instrument
};

// The record at `offset`, or nothing when its 12 bytes are not all inside the image.
std::optional<InstrumentRecord> readInstrumentRecord(shell::ByteSpan image, std::uint64_t offset);

// The display name of a type; empty for a type outside the eleven known ones.
std::string_view instrumentTypeName(std::uint8_t type);

// Each byte as two upper-case hexadecimal digits and a blank ("0A 1B ").
std::string hexDump(shell::ByteSpan bytes);

// The hex dump of the 12 bytes at `offset`, or an empty text when they are not inside the image.
std::string recordDump(shell::ByteSpan image, std::uint64_t offset);

enum class ListLimit { To7F, Unlimited };

// The key map of a note-switch instrument and the number of its usable notes: the leading
// non-zero entries. An unreadable key map has no usable notes.
struct KeyMap {
    std::array<std::uint8_t, kNoteCount> entries{};
    std::size_t usableNotes = 0;
};

struct NoteList {
    std::vector<std::string> lines;  // UTF-8
    KeyMap keyMap;                   // filled for a note-switch instrument only
};

inline constexpr std::string_view kEmptyKeyMapLine = "エラー";
inline constexpr std::string_view kRepeatedEntryText = "      同上";
inline constexpr std::string_view kNoteIndependentLine = "ノート番号の影響を受けません";

// One instrument table inside an image. The image must outlive it.
class InstrumentTable {
public:
    InstrumentTable(shell::ByteSpan image, std::uint32_t tableOffset);

    std::uint64_t instrumentOffset(std::size_t index) const;
    std::optional<InstrumentRecord> instrument(std::size_t index) const;

    // Lines "HEX<TAB>type name". Limited: lines 0 to 7F. Unlimited: up to the first record whose
    // type has no name (a record outside the image has none), and at least line 0.
    std::vector<std::string> instrumentLines(ListLimit limit) const;
    std::size_t instrumentCount(ListLimit limit) const;

    // The note list of instrument `index`.
    NoteList noteList(std::size_t index) const;

    // The record that note line `line` of instrument `index` names, for the note record field:
    // the sub-instrument the key map gives for a note-switch instrument (nothing for a note the
    // key map leaves unused), drum `line` of a drum set, and for any other instrument the 12 bytes
    // its first pointer leads to.
    std::optional<std::uint64_t> noteRecordOffset(std::size_t index, std::size_t line,
                                                  const KeyMap& keyMap) const;

    // The record a play of instrument `index` and note line `line` uses: the sub-instrument that
    // the key map gives, drum `line`, or the instrument itself. A note-switch or drum instrument
    // without a note line, and a note line the key map leaves unused, choose nothing.
    std::optional<InstrumentRecord> recordToPlay(std::size_t index, std::optional<std::size_t> line,
                                                 const KeyMap& keyMap) const;

    shell::ByteSpan image() const { return image_; }

private:
    std::string noteLine(std::size_t note, std::uint32_t entryOffset) const;

    shell::ByteSpan image_;
    std::uint32_t tableOffset_;
};

// The ROM offset of the sample a record leads to, when its type carries one.
std::optional<std::uint32_t> sampleOffsetOf(const InstrumentRecord& record);

}  // namespace sound
