#include "transplant/unit_texts.hpp"

#include "rom/record_names.hpp"
#include "rom/records.hpp"
#include "shell/number_text.hpp"
#include "shell/text_encoding.hpp"
#include "transplant/key_value_text.hpp"

#include <array>

namespace transplant {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

using rom::ResourceKind;

// The count lines of the summary, in their order.
constexpr std::array<std::pair<std::string_view, ResourceKind>, 10> kSummaryCounts{{
    {"bNumBGMap", ResourceKind::BGMap},
    {"bNumCutinScroll", ResourceKind::CutinScroll},
    {"bNumFixedWeapon", ResourceKind::FixedWeapon},
    {"bNumGraphicDifinition", ResourceKind::GraphicDifinition},
    {"bNumMotionPart", ResourceKind::MotionPart},
    {"bNumPallet", ResourceKind::Pallet},
    {"bNumShadowEtc", ResourceKind::ShadowEtc},
    {"bNumSprite", ResourceKind::Sprite},
    {"bNumSystemAnime", ResourceKind::SystemAnime},
    {"bNumUnitCutin", ResourceKind::UnitCutin},
}};

void appendLine(std::string& text, std::string_view label, std::uint64_t value)
{
    text += label;
    text += shell::decimalText(static_cast<std::int64_t>(value));
    text += kLineEnd;
}

}  // namespace

std::string unitIdText(std::uint16_t unitId)
{
    return shell::paddedHexText(unitId, kUnitIdDigits);
}

std::string idNameLine(std::uint16_t unitId, std::string_view displayName)
{
    return unitIdText(unitId) + ": " + std::string(displayName);
}

std::string resourceSummaryText(std::string_view displayName, const rom::UnitResourceSet& set)
{
    std::string text(displayName);
    text += kLineEnd;
    text += keyValueLine("wIdUnit", set.wIdUnit);
    for (const auto& [key, kind] : kSummaryCounts)
        text += keyValueLine(key, static_cast<std::uint32_t>(set.list(kind).size()));
    return text;
}

rom::RomResult<std::string> unitInformationText(rom::ByteSpan image,
                                                const rom::TableDirectory& directory,
                                                std::uint16_t unitId, std::string_view displayName,
                                                const rom::CharacterTable& table)
{
    auto unit = rom::readRecord<rom::UnitDataRecord>(image, directory, unitId);
    if (!unit)
        return std::unexpected(unit.error());

    std::string text(displayName);
    text += kLineEnd;
    appendLine(text, "HP: ", unit->dwMaxHP);
    appendLine(text, "EN: ", unit->wMaxEN);
    appendLine(text, "運動性: ", unit->wMobility);
    appendLine(text, "装甲: ", unit->wArmor);
    text += "固定武器";
    text += kLineEnd;
    for (std::uint16_t weapon : unit->wWeapon) {
        if (!rom::isWeaponId(weapon))
            continue;
        auto weaponName = rom::decodeWeaponName(image, directory, weapon, table);
        if (!weaponName)
            return std::unexpected(weaponName.error());
        text += ' ';
        text += idNameLine(weapon, shell::sjisToUtf8(*weaponName));
        text += kLineEnd;
    }
    return text;
}

}  // namespace transplant
