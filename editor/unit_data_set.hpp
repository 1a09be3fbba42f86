#pragma once
// The editor's model of one unit as a whole (`UnitDataSet`): its records, its weapons with their
// animation headers, its icon, its BG map and every sprite, palette group and animation routine
// that these name, each with its own bytes. `UnitIdSet` summarises the IDs a set occupies.
//
// The capacities below are the model's limits. Readers refuse a unit or a folder that would go
// beyond one; nothing is ever written past an array.

#include "rom/game_tables.hpp"
#include "rom/records.hpp"
#include "rom/routines.hpp"
#include "shell/bytes.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace editor {

using shell::Bytes;
using shell::ByteSpan;

inline constexpr std::size_t kMaxFixedWeapons = rom::kUnitWeaponSlots;  // 12
inline constexpr std::size_t kMaxSprites = 32;
inline constexpr std::size_t kMaxPalletGroups = 32;
inline constexpr std::size_t kMaxRoutines = 48;  // of each of the three kinds
inline constexpr std::size_t kMaxMotionParts = 256;
inline constexpr std::size_t kShadowEtcEntries = 16;  // one per bit of the entry mask
inline constexpr std::size_t kPaletteBytes = 32;       // 16 BGR555 colours
inline constexpr std::size_t kMaxPalettesPerGroup = 8;
inline constexpr std::size_t kPalletGroupBytes = kPaletteBytes * kMaxPalettesPerGroup;
inline constexpr std::size_t kIconBytes = rom::IconRecord::kSize;  // 384

using rom::kNoId;

template <std::size_t N>
constexpr std::array<std::uint16_t, N> noIds()
{
    std::array<std::uint16_t, N> ids{};
    ids.fill(kNoId);
    return ids;
}

struct BGMapEntry {
    rom::BGMAP record{};
    Bytes data;  // the LZ77 stream behind record.dwAddress, its measured length
};

struct SpriteEntry {
    std::uint32_t dwAddress = 0;  // GBA address once placed by a port
    Bytes data;                   // the LZ77 stream, copied unchanged; empty for a null pointer
};

struct PalletGroup {
    std::uint32_t dwAddress = 0;  // GBA address once placed by a port
    std::uint8_t bNumPalette = 0;
    std::array<std::uint8_t, kPalletGroupBytes> colours{};

    ByteSpan bytes() const { return ByteSpan(colours).first(bNumPalette * kPaletteBytes); }
};

// One entry of a MotionPart part table: the part's stream pointer and four bytes kept as they are.
struct PartTableEntry {
    static constexpr std::size_t kSize = rom::kMotionPartEntrySize;

    std::uint32_t dwPointer = 0;
    std::uint16_t wParam1 = 0;
    std::uint16_t wParam2 = 0;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.dwPointer), v(r.wParam1), v(r.wParam2);
    }
};
static_assert(rom::measuredSize<PartTableEntry>() == PartTableEntry::kSize);

struct MotionPartEntry {
    PartTableEntry entry;
    Bytes stream;  // the part's command stream; empty when its pointer is 0
};

// `present` is false for a slot whose table pointer is 0: nothing was read and nothing is written.
struct MotionPartRoutine {
    bool present = false;
    rom::MotionPartHeader header{};
    std::vector<MotionPartEntry> parts;  // header.bNumPart entries
    Bytes script;                        // the key block, empty when header.dwKeyBlock is 0
};

struct ShadowEtcEntry {
    std::uint32_t dwPointer = 0;
    Bytes stream;
};

struct ShadowEtcRoutine {
    bool present = false;
    rom::ShadowEtcHeader header{};
    std::array<ShadowEtcEntry, kShadowEtcEntries> entries;  // entry k used when mask bit k is set
};

struct CutinScrollRoutine {
    bool present = false;
    rom::CutinScrollHeader header{};
    Bytes commands;  // wNumCommand x 16 bytes
};

struct UnitDataSet {
    std::uint16_t wUnitID = 0;
    std::uint8_t bNumFixedWeapon = 0;
    std::array<std::uint16_t, kMaxFixedWeapons> wIdFixedWeapon = noIds<kMaxFixedWeapons>();
    std::uint8_t bNumSprite = 0;
    std::uint8_t bNumPallet = 0;
    std::uint8_t bNumMotionPart = 0;
    std::uint8_t bNumShadowEtc = 0;
    std::uint8_t bNumCutinScroll = 0;
    std::uint16_t wIdBGMap = kNoId;  // the header's value; 0xFFFF or 0xFFFE: no BG map
    std::array<std::uint16_t, kMaxSprites> wIdSprite = noIds<kMaxSprites>();
    std::array<std::uint16_t, kMaxPalletGroups> wIdPallet = noIds<kMaxPalletGroups>();
    std::array<std::uint16_t, kMaxRoutines> wIdMotionPart = noIds<kMaxRoutines>();
    std::array<std::uint16_t, kMaxRoutines> wIdShadowEtc = noIds<kMaxRoutines>();
    std::array<std::uint16_t, kMaxRoutines> wIdCutinScroll = noIds<kMaxRoutines>();
    // The GBA pointer of each routine's header: as read from the ROM, or rebased by a save or a
    // port. 0 for a routine that is not present.
    std::array<std::uint32_t, kMaxRoutines> dwAdrMotionPart{};
    std::array<std::uint32_t, kMaxRoutines> dwAdrShadowEtc{};
    std::array<std::uint32_t, kMaxRoutines> dwAdrCutinScroll{};
    std::uint16_t wIdIcon = kNoId;  // 0xFFFF: no icon

    rom::UnitDataRecord unit{};
    rom::UNIT_ANIME_HEADER anime{};
    std::array<rom::WEAPON_DATA, kMaxFixedWeapons> weapons{};
    std::array<rom::FIXED_ANIME_HEADER, kMaxFixedWeapons> weaponAnimes{};

    BGMapEntry bgMap;
    std::array<SpriteEntry, kMaxSprites> sprites;
    std::array<PalletGroup, kMaxPalletGroups> pallets;
    std::optional<std::array<std::uint8_t, kIconBytes>> icon;  // none: no icon read or loaded
    std::array<MotionPartRoutine, kMaxRoutines> motionParts;
    std::array<ShadowEtcRoutine, kMaxRoutines> shadowEtcs;
    std::array<CutinScrollRoutine, kMaxRoutines> cutinScrolls;

    bool hasBGMap() const { return rom::isBGMapId(wIdBGMap); }

    // Frees every data buffer (BG map, sprites, palettes, icon, routines); records, IDs and
    // counts stay.
    void releaseBuffers();
};

// A list of IDs with its count; entries from the count on hold 0xFFFF, and lookups look only
// below the count.
template <std::size_t N>
struct IdList {
    std::uint8_t count = 0;
    std::array<std::uint16_t, N> ids = noIds<N>();

    static constexpr std::size_t kCapacity = N;

    std::span<const std::uint16_t> used() const { return std::span(ids).first(count); }
    std::optional<std::size_t> find(std::uint16_t id) const
    {
        for (std::size_t i = 0; i < count; ++i) {
            if (ids[i] == id)
                return i;
        }
        return std::nullopt;
    }
    // The caller keeps within the capacity; an ID beyond it is dropped.
    void append(std::uint16_t id)
    {
        if (count < N)
            ids[count++] = id;
    }
};

struct UnitIdSet {
    IdList<8> unit;
    IdList<16> fixedWeapon;
    IdList<8> bgMap;
    IdList<32> sprite;
    IdList<32> pallet;
    IdList<8> icon;
    IdList<64> motionPart;
    IdList<64> shadowEtc;
    IdList<64> cutinScroll;
};

// The IDs of one set: its unit, its icon and BG map unless none, and its ID lists up to their
// counts. The result describes that one set.
UnitIdSet CollectUnitIds(const UnitDataSet& set);

}  // namespace editor
