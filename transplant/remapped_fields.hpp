#pragma once
// The ID fields of each record that the transplant rewrites, by record offset and the kind of ID
// they hold. Every record also carries its own ID at offset 0, which the transplant sets to the
// record's new place.

#include "rom/resource_kind.hpp"

#include <array>
#include <cstddef>

namespace transplant {

struct RemappedField {
    std::size_t offset;
    rom::ResourceKind kind;
};

inline constexpr std::size_t kOwnIdField = 0x00;

namespace remapped_fields {

using K = rom::ResourceKind;

// The twelve weapon slots of a unit record.
inline constexpr auto kUnit = [] {
    std::array<RemappedField, 12> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = {0x30 + 2 * i, K::FixedWeapon};
    return fields;
}();

// The three background fields, then the eight motion groups of 16 bytes from 0x0C: two
// sprite/palette pairs and the three routines. (An entry left over would be a field at offset 0,
// the header's own ID.)
inline constexpr auto kUnitAnime = [] {
    std::array<RemappedField, 3 + 8 * 7> fields{};
    std::size_t n = 0;
    fields[n++] = {0x04, K::Sprite};
    fields[n++] = {0x06, K::Pallet};
    fields[n++] = {0x08, K::BGMap};
    for (std::size_t group = 0; group < 8; ++group) {
        const std::size_t base = 0x0C + 0x10 * group;
        fields[n++] = {base + 0x0, K::Sprite};
        fields[n++] = {base + 0x2, K::Pallet};
        fields[n++] = {base + 0x4, K::Sprite};
        fields[n++] = {base + 0x6, K::Pallet};
        fields[n++] = {base + 0x8, K::MotionPart};
        fields[n++] = {base + 0xA, K::ShadowEtc};
        fields[n++] = {base + 0xC, K::CutinScroll};
    }
    return fields;
}();

inline constexpr std::array<RemappedField, 32> kFixedWeaponAnime{{
    {0x04, K::Sprite},      {0x06, K::Pallet},      {0x08, K::Sprite},      {0x0A, K::Pallet},
    {0x0C, K::Sprite},      {0x0E, K::Pallet},      {0x10, K::Sprite},      {0x12, K::Pallet},
    {0x14, K::MotionPart},  {0x16, K::ShadowEtc},   {0x18, K::CutinScroll}, {0x1C, K::Sprite},
    {0x1E, K::Pallet},      {0x20, K::Sprite},      {0x22, K::Pallet},      {0x24, K::Sprite},
    {0x26, K::Pallet},      {0x28, K::MotionPart},  {0x2A, K::ShadowEtc},   {0x2C, K::CutinScroll},
    {0x30, K::Sprite},      {0x32, K::Pallet},      {0x34, K::Sprite},      {0x36, K::Pallet},
    {0x38, K::Sprite},      {0x3A, K::Pallet},      {0x3C, K::MotionPart},  {0x3E, K::ShadowEtc},
    {0x40, K::CutinScroll}, {0x44, K::MotionPart},  {0x46, K::ShadowEtc},   {0x48, K::CutinScroll},
}};

inline constexpr std::array<RemappedField, 12> kUnitCutin{{
    {0x04, K::Sprite},     {0x06, K::Pallet},    {0x08, K::Sprite},      {0x0A, K::Pallet},
    {0x0C, K::BGMap},      {0x0E, K::BGMap},     {0x10, K::BGMap},       {0x18, K::Sprite},
    {0x1A, K::Pallet},     {0x1C, K::MotionPart}, {0x1E, K::ShadowEtc},  {0x20, K::CutinScroll},
}};

inline constexpr std::array<RemappedField, 2> kGraphicDifinition{{
    {0x02, K::Sprite},
    {0x04, K::Pallet},
}};

inline constexpr std::array<RemappedField, 5> kSystemAnime{{
    {0x04, K::Sprite},     {0x06, K::Pallet},      {0x08, K::MotionPart},
    {0x0A, K::ShadowEtc},  {0x0C, K::CutinScroll},
}};

}  // namespace remapped_fields
}  // namespace transplant
