#pragma once
// The game's fixed-size records, field for field in ROM byte order. Bytes whose meaning the tools
// do not know are kept in arrays so that a record read and written back is unchanged. The records
// that the editor writes as definition texts name their fields in their field lists: the names are
// the texts' keys, and a field without a name (byte 47 of the unit record) is in no text.

#include "rom/game_tables.hpp"
#include "rom/record_fields.hpp"

#include <array>
#include <cstdint>

namespace rom {

inline constexpr std::size_t kGameNameLength = 32;
using GameName = std::array<std::uint8_t, kGameNameLength>;

inline constexpr std::size_t kUnitWeaponSlots = 12;

struct UnitDataRecord {
    static constexpr GameTable kTable = GameTable::Unit;
    static constexpr std::size_t kSize = 0x68;
    static constexpr std::size_t kWeaponOffset = 0x30;
    static constexpr std::size_t kNameOffset = 0x48;

    std::uint32_t dwMaxHP;
    std::uint16_t wMaxEN;
    std::uint16_t wMobility;
    std::uint16_t wArmor;
    std::uint16_t wRepairCost;
    std::uint16_t wAttainMoney;
    std::uint16_t wAttainExp;
    std::uint16_t wMaxWP;
    std::uint16_t wGeoAdaptation;
    std::uint8_t bIocomotion;
    std::uint8_t bPartSlot;
    std::uint8_t bMoveType;
    std::uint8_t bAttainPP;
    std::uint8_t bHPImproveMax;
    std::uint8_t bENImproveMax;
    std::uint8_t bMobilityImproveMax;
    std::uint8_t bArmorImproveMax;
    std::uint8_t bFullBonus;
    std::uint8_t bParam1;
    std::uint8_t wParam2;  // one byte despite its name
    std::uint8_t bSpecialAbility1;
    std::uint8_t bSpecialAbility2;
    std::uint8_t bSpecialAbility3;
    std::uint8_t bSpecialAbility4;
    std::uint8_t bSpecialAbility5;
    std::uint8_t bParam3;
    std::uint8_t bPilotDefinition;
    std::uint8_t bParam4;
    std::uint8_t bTransformation;
    std::uint8_t bSize;
    std::uint8_t bParam5;
    std::uint8_t bBGM;
    std::uint8_t bPilot1;
    std::uint8_t bPilot2;
    std::uint8_t bPilot3;
    std::uint8_t bPilot4;
    std::uint8_t bUnnamed47;
    std::array<std::uint16_t, kUnitWeaponSlots> wWeapon;
    GameName bUnitName;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.dwMaxHP, "dwMaxHP"), v(r.wMaxEN, "wMaxEN"), v(r.wMobility, "wMobility");
        v(r.wArmor, "wArmor"), v(r.wRepairCost, "wRepairCost"), v(r.wAttainMoney, "wAttainMoney");
        v(r.wAttainExp, "wAttainExp"), v(r.wMaxWP, "wMaxWP"), v(r.wGeoAdaptation, "wGeoAdaptation");
        v(r.bIocomotion, "bIocomotion"), v(r.bPartSlot, "bPartSlot"), v(r.bMoveType, "bMoveType");
        v(r.bAttainPP, "bAttainPP"), v(r.bHPImproveMax, "bHPImproveMax");
        v(r.bENImproveMax, "bENImproveMax"), v(r.bMobilityImproveMax, "bMobilityImproveMax");
        v(r.bArmorImproveMax, "bArmorImproveMax"), v(r.bFullBonus, "bFullBonus");
        v(r.bParam1, "bParam1"), v(r.wParam2, "wParam2"), v(r.bSpecialAbility1, "bSpecialAbility1");
        v(r.bSpecialAbility2, "bSpecialAbility2"), v(r.bSpecialAbility3, "bSpecialAbility3");
        v(r.bSpecialAbility4, "bSpecialAbility4"), v(r.bSpecialAbility5, "bSpecialAbility5");
        v(r.bParam3, "bParam3"), v(r.bPilotDefinition, "bPilotDefinition"), v(r.bParam4, "bParam4");
        v(r.bTransformation, "bTransformation"), v(r.bSize, "bSize"), v(r.bParam5, "bParam5");
        v(r.bBGM, "bBGM"), v(r.bPilot1, "bPilot1"), v(r.bPilot2, "bPilot2");
        v(r.bPilot3, "bPilot3"), v(r.bPilot4, "bPilot4"), v(r.bUnnamed47), v(r.wWeapon, "wWeapon");
        v(r.bUnitName, "bUnitName");
    }
};

struct WEAPON_DATA {
    static constexpr GameTable kTable = GameTable::Weapon;
    static constexpr std::size_t kSize = 0x40;
    static constexpr std::size_t kNameOffset = 0x20;

    std::uint8_t bWeaponType1;
    std::uint8_t bWeaponType2;
    std::uint8_t bIsRemovableWeapon;
    std::uint8_t bWGageRequired;
    std::uint8_t bRangeNearest;
    std::uint8_t bRangeFarthest;
    std::uint8_t bCustomizeCostType;
    std::uint8_t bAttackIncreaseType;
    std::uint16_t wMapWeaponRange;
    std::uint8_t bParam1;
    std::uint8_t bMapWeaponEffect;
    std::uint8_t bMapWeaponDistinction;
    std::uint8_t bParam2;
    std::uint8_t bSkillRequired;
    std::uint8_t bSkillLevelRequired;
    std::uint16_t wAttackPoint;
    std::uint16_t wHit;
    std::uint16_t wCritical;
    std::uint16_t wBulletMax;
    std::uint16_t wENCost;
    std::uint16_t wWillRequired;
    std::uint16_t wGeoAdaptation;
    std::uint16_t wPWeaponInfo;
    GameName bWeaponName;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.bWeaponType1, "bWeaponType1"), v(r.bWeaponType2, "bWeaponType2");
        v(r.bIsRemovableWeapon, "bIsRemovableWeapon"), v(r.bWGageRequired, "bWGageRequired");
        v(r.bRangeNearest, "bRangeNearest"), v(r.bRangeFarthest, "bRangeFarthest");
        v(r.bCustomizeCostType, "bCustomizeCostType");
        v(r.bAttackIncreaseType, "bAttackIncreaseType"), v(r.wMapWeaponRange, "wMapWeaponRange");
        v(r.bParam1, "bParam1"), v(r.bMapWeaponEffect, "bMapWeaponEffect");
        v(r.bMapWeaponDistinction, "bMapWeaponDistinction"), v(r.bParam2, "bParam2");
        v(r.bSkillRequired, "bSkillRequired"), v(r.bSkillLevelRequired, "bSkillLevelRequired");
        v(r.wAttackPoint, "wAttackPoint"), v(r.wHit, "wHit"), v(r.wCritical, "wCritical");
        v(r.wBulletMax, "wBulletMax"), v(r.wENCost, "wENCost"), v(r.wWillRequired, "wWillRequired");
        v(r.wGeoAdaptation, "wGeoAdaptation"), v(r.wPWeaponInfo, "wPWeaponInfo");
        v(r.bWeaponName, "bWeaponName");
    }
};

// One of the eight motion groups of a unit animation header (group n holds wIdSprite n_1 ...):
// the key of a field puts the group's number before the "_" of its name, or at its end.
struct UnitMotionGroup {
    std::uint16_t wIdSprite_1;
    std::uint16_t wIdPallet_1;
    std::uint16_t wIdSprite_2;
    std::uint16_t wIdPallet_2;
    std::uint16_t wIdMotionPart;
    std::uint16_t wIdShadowEtc;
    std::uint16_t wIdCutinScroll;
    std::uint16_t wParam;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.wIdSprite_1, "wIdSprite_1"), v(r.wIdPallet_1, "wIdPallet_1");
        v(r.wIdSprite_2, "wIdSprite_2"), v(r.wIdPallet_2, "wIdPallet_2");
        v(r.wIdMotionPart, "wIdMotionPart"), v(r.wIdShadowEtc, "wIdShadowEtc");
        v(r.wIdCutinScroll, "wIdCutinScroll"), v(r.wParam, "wParam");
    }
};

inline constexpr std::size_t kUnitMotionGroups = 8;

struct UNIT_ANIME_HEADER {
    static constexpr GameTable kTable = GameTable::UnitAnimeHeader;
    static constexpr std::size_t kSize = 0x8C;

    std::uint16_t wIdUnit;
    std::uint16_t wPatternExplosion;
    std::uint16_t wIdSpriteBG;
    std::uint16_t wIdPalletBG;
    std::uint16_t wIdBGMap;
    std::uint16_t wParamBG;
    std::array<UnitMotionGroup, kUnitMotionGroups> motion;  // groups 1 to 8

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.wIdUnit, "wIdUnit"), v(r.wPatternExplosion, "wPatternExplosion");
        v(r.wIdSpriteBG, "wIdSpriteBG"), v(r.wIdPalletBG, "wIdPalletBG"), v(r.wIdBGMap, "wIdBGMap");
        v(r.wParamBG, "wParamBG"), v(r.motion);
    }
};

struct FIXED_ANIME_HEADER {
    static constexpr GameTable kTable = GameTable::FixedWeaponAnime;
    static constexpr std::size_t kSize = 0x4C;

    std::uint16_t wIdWeapon;
    std::uint16_t wOtherAnime;
    // group 1
    std::uint16_t wIdSprite1_1;
    std::uint16_t wIdPallet1_1;
    std::uint16_t wIdSprite1_2;
    std::uint16_t wIdPallet1_2;
    std::uint16_t wIdSprite1_3;
    std::uint16_t wIdPallet1_3;
    std::uint16_t wIdSprite1_4;
    std::uint16_t wIdPallet1_4;
    std::uint16_t wIdMotionPart1;
    std::uint16_t wIdShadowEtc1;
    std::uint16_t wIdCutinScroll1;
    std::uint16_t wParam1;
    // group 2
    std::uint16_t wIdSprite2_1;
    std::uint16_t wIdPallet2_1;
    std::uint16_t wIdSprite2_2;
    std::uint16_t wIdPallet2_2;
    std::uint16_t wIdSprite2_3;
    std::uint16_t wIdPallet2_3;
    std::uint16_t wIdMotionPart2;
    std::uint16_t wIdShadowEtc2;
    std::uint16_t wIdCutinScroll2;
    std::uint16_t wParam2;
    // group 3
    std::uint16_t wIdSprite3_1;
    std::uint16_t wIdPallet3_1;
    std::uint16_t wIdSprite3_2;
    std::uint16_t wIdPallet3_2;
    std::uint16_t wIdSprite3_3;
    std::uint16_t wIdPallet3_3;
    std::uint16_t wIdMotionPart3;
    std::uint16_t wIdShadowEtc3;
    std::uint16_t wIdCutinScroll3;
    std::uint16_t wParam3;
    std::uint16_t wIdMotionPart3_2;
    std::uint16_t wIdShadowEtc3_2;
    std::uint16_t wIdCutinScroll3_2;
    std::uint16_t wParam4;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.wIdWeapon, "wIdWeapon"), v(r.wOtherAnime, "wOtherAnime");
        v(r.wIdSprite1_1, "wIdSprite1_1"), v(r.wIdPallet1_1, "wIdPallet1_1");
        v(r.wIdSprite1_2, "wIdSprite1_2"), v(r.wIdPallet1_2, "wIdPallet1_2");
        v(r.wIdSprite1_3, "wIdSprite1_3"), v(r.wIdPallet1_3, "wIdPallet1_3");
        v(r.wIdSprite1_4, "wIdSprite1_4"), v(r.wIdPallet1_4, "wIdPallet1_4");
        v(r.wIdMotionPart1, "wIdMotionPart1"), v(r.wIdShadowEtc1, "wIdShadowEtc1");
        v(r.wIdCutinScroll1, "wIdCutinScroll1"), v(r.wParam1, "wParam1");
        v(r.wIdSprite2_1, "wIdSprite2_1"), v(r.wIdPallet2_1, "wIdPallet2_1");
        v(r.wIdSprite2_2, "wIdSprite2_2"), v(r.wIdPallet2_2, "wIdPallet2_2");
        v(r.wIdSprite2_3, "wIdSprite2_3"), v(r.wIdPallet2_3, "wIdPallet2_3");
        v(r.wIdMotionPart2, "wIdMotionPart2"), v(r.wIdShadowEtc2, "wIdShadowEtc2");
        v(r.wIdCutinScroll2, "wIdCutinScroll2"), v(r.wParam2, "wParam2");
        v(r.wIdSprite3_1, "wIdSprite3_1"), v(r.wIdPallet3_1, "wIdPallet3_1");
        v(r.wIdSprite3_2, "wIdSprite3_2"), v(r.wIdPallet3_2, "wIdPallet3_2");
        v(r.wIdSprite3_3, "wIdSprite3_3"), v(r.wIdPallet3_3, "wIdPallet3_3");
        v(r.wIdMotionPart3, "wIdMotionPart3"), v(r.wIdShadowEtc3, "wIdShadowEtc3");
        v(r.wIdCutinScroll3, "wIdCutinScroll3"), v(r.wParam3, "wParam3");
        v(r.wIdMotionPart3_2, "wIdMotionPart3_2"), v(r.wIdShadowEtc3_2, "wIdShadowEtc3_2");
        v(r.wIdCutinScroll3_2, "wIdCutinScroll3_2"), v(r.wParam4, "wParam4");
    }
};

struct SystemAnimeRecord {
    static constexpr GameTable kTable = GameTable::SystemAnime;
    static constexpr std::size_t kSize = 0x10;

    std::array<std::uint8_t, 4> bHead;  // not interpreted
    std::uint16_t wIdSprite;
    std::uint16_t wIdPallet;
    std::uint16_t wIdMotionPart;
    std::uint16_t wIdShadowEtc;
    std::uint16_t wIdCutinScroll;
    std::array<std::uint8_t, 2> bTail;  // not interpreted

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.bHead), v(r.wIdSprite), v(r.wIdPallet), v(r.wIdMotionPart), v(r.wIdShadowEtc);
        v(r.wIdCutinScroll), v(r.bTail);
    }
};

struct GraphicDifinitionRecord {
    static constexpr GameTable kTable = GameTable::GraphicDifinition;
    static constexpr std::size_t kSize = 0x08;

    std::array<std::uint8_t, 2> bHead;  // not interpreted
    std::uint16_t wIdSprite;
    std::uint16_t wIdPallet;
    std::array<std::uint8_t, 2> bTail;  // not interpreted

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.bHead), v(r.wIdSprite), v(r.wIdPallet), v(r.bTail);
    }
};

struct UnitCutinRecord {
    static constexpr GameTable kTable = GameTable::UnitCutin;
    static constexpr std::size_t kSize = 0x28;

    std::array<std::uint8_t, 4> bHead;  // not interpreted
    std::uint16_t wIdSprite1;
    std::uint16_t wIdPallet1;
    std::uint16_t wIdSprite2;
    std::uint16_t wIdPallet2;
    std::uint16_t wIdBGMap1;
    std::uint16_t wIdBGMap2;
    std::uint16_t wIdBGMap3;
    std::array<std::uint8_t, 6> bMiddle;  // not interpreted
    std::uint16_t wIdSprite3;
    std::uint16_t wIdPallet3;
    std::uint16_t wIdMotionPart;
    std::uint16_t wIdShadowEtc;
    std::uint16_t wIdCutinScroll;
    std::array<std::uint8_t, 6> bTail;  // not interpreted

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.bHead), v(r.wIdSprite1), v(r.wIdPallet1), v(r.wIdSprite2), v(r.wIdPallet2);
        v(r.wIdBGMap1), v(r.wIdBGMap2), v(r.wIdBGMap3), v(r.bMiddle), v(r.wIdSprite3);
        v(r.wIdPallet3), v(r.wIdMotionPart), v(r.wIdShadowEtc), v(r.wIdCutinScroll), v(r.bTail);
    }
};

struct BGMAP {
    static constexpr GameTable kTable = GameTable::BGMap;
    static constexpr std::size_t kSize = 0x08;

    std::uint32_t dwAddress;  // GBA pointer to the LZ77-compressed map
    std::uint16_t wSize;      // screen size: 0 256x256, 1 512x256, 2 256x512, 3 512x512
    std::uint16_t wParam1;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.dwAddress, "dwAddress"), v(r.wSize, "wSize"), v(r.wParam1, "wParam1");
    }
};

struct IconRecord {
    static constexpr GameTable kTable = GameTable::IconData;
    static constexpr std::size_t kSize = 0x180;

    std::array<std::uint8_t, kSize> bImage;

    template <class Self, class Visit>
    static constexpr void fields(Self& r, Visit&& v)
    {
        v(r.bImage);
    }
};

template <class Record>
concept TableRecord = FieldGroup<Record> && requires {
    { Record::kTable } -> std::convertible_to<GameTable>;
    { Record::kSize } -> std::convertible_to<std::size_t>;
} && measuredSize<Record>() == Record::kSize && recordSizeOf(Record::kTable) == Record::kSize;

static_assert(TableRecord<UnitDataRecord>);
static_assert(TableRecord<WEAPON_DATA>);
static_assert(TableRecord<UNIT_ANIME_HEADER>);
static_assert(TableRecord<FIXED_ANIME_HEADER>);
static_assert(TableRecord<SystemAnimeRecord>);
static_assert(TableRecord<GraphicDifinitionRecord>);
static_assert(TableRecord<UnitCutinRecord>);
static_assert(TableRecord<BGMAP>);
static_assert(TableRecord<IconRecord>);

// Record `id` of the record's own table, read through the directory.
template <TableRecord Record>
RomResult<Record> readRecord(ByteSpan image, const TableDirectory& directory, std::uint32_t id)
{
    auto bytes = recordBytes(image, directory, Record::kTable, id);
    if (!bytes)
        return std::unexpected(bytes.error());
    return parseRecord<Record>(*bytes);
}

template <TableRecord Record>
RomResult<void> writeRecord(MutableByteSpan image, const TableDirectory& directory,
                            std::uint32_t id, const Record& record)
{
    auto bytes = mutableRecordBytes(image, directory, Record::kTable, id);
    if (!bytes)
        return std::unexpected(bytes.error());
    storeRecord(record, *bytes);
    return {};
}

}  // namespace rom
