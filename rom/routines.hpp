#pragma once
// The three animation routine formats behind the MotionPart, ShadowEtc and CutinScroll pointer
// tables: their headers and the layout of the data they point to, measured by the length walks.

#include "rom/byte_io.hpp"
#include "rom/record_fields.hpp"
#include "rom/rom_error.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace rom {

// A measured piece of the image.
struct ByteRange {
    std::uint32_t offset = 0;
    std::size_t length = 0;

    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// Body drawing routine.
struct MotionPartHeader {
    static constexpr std::size_t kSize = 16;
    static constexpr std::size_t kPartTableField = 8;  // dwPartTable
    static constexpr std::size_t kKeyBlockField = 12;  // dwKeyBlock

    std::uint8_t bNumPart;       // N: entries of the part table
    std::uint8_t bParam;         // not interpreted
    std::uint16_t wTotalFrame;   // T: the frame limit of every part stream
    std::uint32_t dwParam;       // not interpreted
    std::uint32_t dwPartTable;   // GBA pointer to N part entries
    std::uint32_t dwKeyBlock;    // GBA pointer to the key block, 0 for none

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.bNumPart), v(r.bParam), v(r.wTotalFrame), v(r.dwParam), v(r.dwPartTable);
        v(r.dwKeyBlock);
    }
};

// One entry of a MotionPart part table: the part's command stream and four bytes kept as they are.
inline constexpr std::size_t kMotionPartEntrySize = 8;

// Shadow drawing routine.
struct ShadowEtcHeader {
    static constexpr std::size_t kSize = 8;
    static constexpr std::size_t kStreamListField = 4;  // dwStreamList

    std::uint16_t wMask;                 // one set bit per stream
    std::array<std::uint8_t, 2> bParam;  // not interpreted
    std::uint32_t dwStreamList;          // GBA pointer to one u32 GBA pointer per set bit

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.wMask), v(r.bParam), v(r.dwStreamList);
    }
};

// Each entry of a ShadowEtc stream list is the GBA pointer of one stream.
inline constexpr std::size_t kShadowEtcListEntrySize = 4;

// ShadowEtc streams run for at most this many frames.
inline constexpr std::uint16_t kShadowEtcFrameLimit = 0x400;

// Effect routine.
struct CutinScrollHeader {
    static constexpr std::size_t kSize = 8;
    static constexpr std::size_t kCommandsField = 4;  // dwCommands

    std::uint16_t wNumCommand;           // K
    std::array<std::uint8_t, 2> bParam;  // not interpreted
    std::uint32_t dwCommands;            // GBA pointer to K commands

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.wNumCommand), v(r.bParam), v(r.dwCommands);
    }
};

inline constexpr std::size_t kCutinScrollCommandSize = 16;

// The commands of an effect routine that name records of other tables.
namespace cutin_command {
inline constexpr std::uint8_t kGraphicChange = 0x24;  // GraphicDifinition ID at 12
inline constexpr std::size_t kGraphicChangeIdField = 12;
inline constexpr std::uint8_t kUnitCutin = 0x17;      // UnitCutin ID at 8 when the mode allows
inline constexpr std::size_t kUnitCutinModeField = 4;
inline constexpr std::size_t kUnitCutinIdField = 8;
inline constexpr std::uint8_t kSystemAnimeFirst = 0x02;  // 0x02 to 0x06: SystemAnime ID at 4
inline constexpr std::uint8_t kSystemAnimeLast = 0x06;
inline constexpr std::size_t kSystemAnimeIdField = 4;

constexpr bool unitCutinModeCarriesId(std::uint8_t mode)
{
    return mode == 0 || mode == 2;
}
}  // namespace cutin_command

struct MotionPartLayout {
    MotionPartHeader header{};
    ByteRange partTable;
    std::vector<ByteRange> parts;
    ByteRange keyBlock;  // length 0 when the header has no key block
};

struct ShadowEtcLayout {
    ShadowEtcHeader header{};
    ByteRange streamList;
    std::vector<ByteRange> streams;
};

struct CutinScrollLayout {
    CutinScrollHeader header{};
    ByteRange commands;  // K x 16 bytes
};

// What a part or stream pointer of 0 names. The editor's routines may hold parts and streams
// without data, which keep pointer 0; everywhere else such a pointer is walked like any other,
// and so leaves the image.
enum class NullStreams { Walked, Empty };

// Each reader measures the routine whose header lies at `offset`; every range lies in the image
// (a null stream read as empty is the range {0, 0}). `source` words the errors: a routine block
// or routine file is walked as a file.
RomResult<MotionPartLayout> readMotionPart(ByteSpan image, std::uint32_t offset,
                                           DataSource source = DataSource::Rom,
                                           NullStreams nullStreams = NullStreams::Walked);
RomResult<ShadowEtcLayout> readShadowEtc(ByteSpan image, std::uint32_t offset,
                                         DataSource source = DataSource::Rom,
                                         NullStreams nullStreams = NullStreams::Walked);
RomResult<CutinScrollLayout> readCutinScroll(ByteSpan image, std::uint32_t offset,
                                             DataSource source = DataSource::Rom);

}  // namespace rom
