#pragma once
// The ID fields of the two animation headers in the order the editor walks them: reading a unit,
// porting it and writing its ID report all go through these lists, so the order is stated once.
// Each function gives pointers into the header it is handed (const or not).

#include "rom/records.hpp"
#include "rom/unit_resources.hpp"

#include <array>
#include <cstdint>
#include <type_traits>

namespace editor {

template <class Header>
using IdFieldPointer =
    std::conditional_t<std::is_const_v<Header>, const std::uint16_t*, std::uint16_t*>;

// Unit animation header: wIdSprite1_1, wIdSprite1_2, wIdSprite2_1, ... wIdSprite8_2 (wIdSpriteBG
// comes before them and is named on its own).
template <class Header>
std::array<IdFieldPointer<Header>, 16> unitMotionSprites(Header& h)
{
    std::array<IdFieldPointer<Header>, 16> fields{};
    for (std::size_t n = 0; n < rom::kUnitMotionGroups; ++n) {
        fields[2 * n] = &h.motion[n].wIdSprite_1;
        fields[2 * n + 1] = &h.motion[n].wIdSprite_2;
    }
    return fields;
}

template <class Header>
std::array<IdFieldPointer<Header>, 16> unitMotionPallets(Header& h)
{
    std::array<IdFieldPointer<Header>, 16> fields{};
    for (std::size_t n = 0; n < rom::kUnitMotionGroups; ++n) {
        fields[2 * n] = &h.motion[n].wIdPallet_1;
        fields[2 * n + 1] = &h.motion[n].wIdPallet_2;
    }
    return fields;
}

template <class Header>
std::array<IdFieldPointer<Header>, 8> unitMotionParts(Header& h)
{
    std::array<IdFieldPointer<Header>, 8> fields{};
    for (std::size_t n = 0; n < rom::kUnitMotionGroups; ++n)
        fields[n] = &h.motion[n].wIdMotionPart;
    return fields;
}

template <class Header>
std::array<IdFieldPointer<Header>, 8> unitShadowEtcs(Header& h)
{
    std::array<IdFieldPointer<Header>, 8> fields{};
    for (std::size_t n = 0; n < rom::kUnitMotionGroups; ++n)
        fields[n] = &h.motion[n].wIdShadowEtc;
    return fields;
}

template <class Header>
std::array<IdFieldPointer<Header>, 8> unitCutinScrolls(Header& h)
{
    std::array<IdFieldPointer<Header>, 8> fields{};
    for (std::size_t n = 0; n < rom::kUnitMotionGroups; ++n)
        fields[n] = &h.motion[n].wIdCutinScroll;
    return fields;
}

// Fixed weapon animation header: 1_1, 1_2, 1_3, 1_4, 2_1, 2_2, 2_3, 3_1, 3_2, 3_3.
template <class Header>
std::array<IdFieldPointer<Header>, 10> weaponSprites(Header& h)
{
    return {&h.wIdSprite1_1, &h.wIdSprite1_2, &h.wIdSprite1_3, &h.wIdSprite1_4, &h.wIdSprite2_1,
            &h.wIdSprite2_2, &h.wIdSprite2_3, &h.wIdSprite3_1, &h.wIdSprite3_2, &h.wIdSprite3_3};
}

template <class Header>
std::array<IdFieldPointer<Header>, 10> weaponPallets(Header& h)
{
    return {&h.wIdPallet1_1, &h.wIdPallet1_2, &h.wIdPallet1_3, &h.wIdPallet1_4, &h.wIdPallet2_1,
            &h.wIdPallet2_2, &h.wIdPallet2_3, &h.wIdPallet3_1, &h.wIdPallet3_2, &h.wIdPallet3_3};
}

// The most palettes a group read through each weapon palette field above may hold: the _3
// fields name four, the others two.
inline constexpr std::array<std::uint8_t, 10> kWeaponPalletLimits{
    rom::pallet_banks::kOrdinary, rom::pallet_banks::kOrdinary, rom::pallet_banks::kWeaponThird,
    rom::pallet_banks::kOrdinary, rom::pallet_banks::kOrdinary, rom::pallet_banks::kOrdinary,
    rom::pallet_banks::kWeaponThird, rom::pallet_banks::kOrdinary, rom::pallet_banks::kOrdinary,
    rom::pallet_banks::kWeaponThird};

// wIdMotionPart1, 2, 3, 3_2 (and the same for the other two routine kinds).
template <class Header>
std::array<IdFieldPointer<Header>, 4> weaponMotionParts(Header& h)
{
    return {&h.wIdMotionPart1, &h.wIdMotionPart2, &h.wIdMotionPart3, &h.wIdMotionPart3_2};
}

template <class Header>
std::array<IdFieldPointer<Header>, 4> weaponShadowEtcs(Header& h)
{
    return {&h.wIdShadowEtc1, &h.wIdShadowEtc2, &h.wIdShadowEtc3, &h.wIdShadowEtc3_2};
}

template <class Header>
std::array<IdFieldPointer<Header>, 4> weaponCutinScrolls(Header& h)
{
    return {&h.wIdCutinScroll1, &h.wIdCutinScroll2, &h.wIdCutinScroll3, &h.wIdCutinScroll3_2};
}

}  // namespace editor
