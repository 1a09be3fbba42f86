#include "editor/definition_text.hpp"

#include <cmath>
#include <optional>

namespace editor {
namespace {

constexpr std::string_view kTypeKey = "TYPE";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kArrayIndexSeparator = ':';

std::optional<int> digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    if (value < 0 || value >= base)
        return std::nullopt;
    return value;
}

double readDigits(std::string_view text, std::size_t& i, int base)
{
    double value = 0;
    while (i < text.size()) {
        const std::optional<int> digit = digitValue(text[i], base);
        if (!digit)
            break;
        value = value * base + *digit;
        ++i;
    }
    return value;
}

// Where a key leads in a key table: plain key `index`, or element `element` of array `index`.
struct KeyTarget {
    bool isArray = false;
    std::size_t index = 0;
    std::size_t element = 0;
};

std::optional<KeyTarget> targetOf(std::string_view key, const KeyTable& keys)
{
    if (key == kTypeKey)
        return std::nullopt;
    for (std::size_t i = 0; i < keys.plain.size(); ++i) {
        if (keys.plain[i].name == key)
            return KeyTarget{false, i, 0};
    }
    // An array key's name is the part before the key's first colon; no name holds a colon.
    for (std::size_t i = 0; i < keys.arrays.size(); ++i) {
        const ArrayKey& array = keys.arrays[i];
        if (key.size() <= array.name.size() || key[array.name.size()] != kArrayIndexSeparator ||
            !key.starts_with(array.name))
            continue;
        const double element = std::trunc(ReadNumber(key.substr(array.name.size() + 1)));
        if (element >= 0 && element < static_cast<double>(array.elements.size()))
            return KeyTarget{true, i, static_cast<std::size_t>(element)};
        return std::nullopt;
    }
    return std::nullopt;
}

const FieldRef& fieldOf(const KeyTable& keys, const KeyTarget& target)
{
    return target.isArray ? keys.arrays[target.index].elements[target.element]
                          : keys.plain[target.index].field;
}

std::string writeText(std::string_view typeName, const KeyTable& keys)
{
    std::string text;
    if (!typeName.empty()) {
        text += '[';
        text += kTypeKey;
        text += "]=";
        text += typeName;
        text += kLineEnd;
    }
    for (const PlainKey& plain : keys.plain)
        text += definitionLine(plain.name, plain.field.value());
    for (const ArrayKey& array : keys.arrays) {
        for (std::size_t i = 0; i < array.elements.size(); ++i)
            text += definitionLine(arrayElementKey(array.name, i), array.elements[i].value());
    }
    return text;
}

// Calls `visit(key, value)` for each line, in the way ParseDefinitionText describes; stops early
// when `visit` returns true, and returns whether it did. A "[" found beyond the current line is
// found again for every line up to it, and so is the "]" after it; both are kept instead of being
// searched for again, and "=" is looked for within the line only. Each byte is thus scanned a
// bounded number of times, where searching from every line's start took time growing with the
// square of the text's size (seconds for a text of a few hundred kilobytes).
template <class Visit>
bool visitLines(std::string_view text, Visit visit)
{
    constexpr std::size_t npos = std::string_view::npos;
    std::size_t open = npos;
    std::size_t close = npos;
    std::size_t position = 0;
    while (position < text.size()) {
        if (open == npos || open < position) {
            open = text.find('[', position);
            if (open == npos)
                return false;
        }
        if (close == npos || close <= open) {
            close = text.find(']', open + 1);
            if (close == npos)
                return false;
        }
        // A last line without CR LF runs to the end of the text.
        std::size_t lineEnd = text.find(kLineEnd, position);
        if (lineEnd == npos)
            lineEnd = text.size();
        const std::string_view line = text.substr(position, lineEnd - position);
        const std::size_t equals = line.find('=');
        const std::string_view value = equals == npos ? std::string_view() : line.substr(equals + 1);
        const std::string_view key = text.substr(open + 1, close - open - 1);
        position = lineEnd + kLineEnd.size();
        if (visit(key, value))
            return true;
    }
    return false;
}

// Calls `use(target, value)` for each line whose key leads somewhere in `keys`; stops when `use`
// returns true. A key found again for the lines before it is resolved once.
template <class Use>
void visitTargets(std::string_view text, const KeyTable& keys, Use use)
{
    std::string_view lastKey;
    std::optional<KeyTarget> lastTarget;
    visitLines(text, [&](std::string_view key, std::string_view value) {
        if (key.data() != lastKey.data() || key.size() != lastKey.size()) {
            lastKey = key;
            lastTarget = targetOf(key, keys);
        }
        return lastTarget && use(*lastTarget, value);
    });
}

}  // namespace

std::uint32_t FieldRef::value() const
{
    return std::visit([](auto* field) { return static_cast<std::uint32_t>(*field); }, field_);
}

void FieldRef::store(std::uint64_t value) const
{
    std::visit(
        [value](auto* field) {
            *field = static_cast<std::remove_pointer_t<decltype(field)>>(value);
        },
        field_);
}

double ReadNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i + 1 < text.size() && text[i] == '&') {
        const char prefix = text[i + 1];
        if (prefix == 'H' || prefix == 'h') {
            i += 2;
            return readDigits(text, i, 16);
        }
        if (prefix == 'O' || prefix == 'o') {
            i += 2;
            return readDigits(text, i, 8);
        }
    }
    double sign = 1;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        sign = text[i] == '-' ? -1 : 1;
        ++i;
    }
    double value = readDigits(text, i, 10);
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size()) {
            const std::optional<int> digit = digitValue(text[i], 10);
            if (!digit)
                break;
            value += *digit * scale;
            scale /= 10;
            ++i;
        }
    }
    return sign * value;
}

std::uint64_t fieldBitsOf(double number)
{
    constexpr double kTwoTo64 = 18446744073709551616.0;
    // A whole double is exact, and so is its remainder by 2^64, which always fits 64 bits.
    const double whole = std::trunc(number);
    if (!std::isfinite(whole))  // hundreds of digits overflow the double
        return 0;
    const auto magnitude = static_cast<std::uint64_t>(std::fmod(std::fabs(whole), kTwoTo64));
    return whole < 0 ? 0 - magnitude : magnitude;
}

std::string arrayElementKey(std::string_view name, std::size_t index)
{
    std::string key(name);
    key += kArrayIndexSeparator;
    key += std::to_string(index);
    return key;
}

std::string definitionLine(std::string_view key, std::uint32_t value)
{
    std::string line = "[";
    line += key;
    line += "]=";
    line += std::to_string(value);
    line += kLineEnd;
    return line;
}

void ParseDefinitionText(std::string_view text, const KeyTable& keys)
{
    visitTargets(text, keys, [&keys](const KeyTarget& target, std::string_view value) {
        fieldOf(keys, target).store(fieldBitsOf(ReadNumber(value)));
        return false;
    });
}

DefinedKeys FindDefinedKeys(std::string_view text, const KeyTable& keys)
{
    DefinedKeys defined;
    defined.plain.assign(keys.plain.size(), false);
    for (const ArrayKey& array : keys.arrays)
        defined.arrays.emplace_back(array.elements.size(), false);
    visitTargets(text, keys, [&defined](const KeyTarget& target, std::string_view) {
        if (target.isArray)
            defined.arrays[target.index][target.element] = true;
        else
            defined.plain[target.index] = true;
        return false;
    });
    return defined;
}

KeyTable unitDataKeys(rom::UnitDataRecord& r)
{
    KeyTable keys;
    keys.plain = {
        {"dwMaxHP", r.dwMaxHP},
        {"wMaxEN", r.wMaxEN},
        {"wMobility", r.wMobility},
        {"wArmor", r.wArmor},
        {"wRepairCost", r.wRepairCost},
        {"wAttainMoney", r.wAttainMoney},
        {"wAttainExp", r.wAttainExp},
        {"wMaxWP", r.wMaxWP},
        {"wGeoAdaptation", r.wGeoAdaptation},
        {"bIocomotion", r.bIocomotion},
        {"bPartSlot", r.bPartSlot},
        {"bMoveType", r.bMoveType},
        {"bAttainPP", r.bAttainPP},
        {"bHPImproveMax", r.bHPImproveMax},
        {"bENImproveMax", r.bENImproveMax},
        {"bMobilityImproveMax", r.bMobilityImproveMax},
        {"bArmorImproveMax", r.bArmorImproveMax},
        {"bFullBonus", r.bFullBonus},
        {"bParam1", r.bParam1},
        {"wParam2", r.wParam2},
        {"bSpecialAbility1", r.bSpecialAbility1},
        {"bSpecialAbility2", r.bSpecialAbility2},
        {"bSpecialAbility3", r.bSpecialAbility3},
        {"bSpecialAbility4", r.bSpecialAbility4},
        {"bSpecialAbility5", r.bSpecialAbility5},
        {"bParam3", r.bParam3},
        {"bPilotDefinition", r.bPilotDefinition},
        {"bParam4", r.bParam4},
        {"bTransformation", r.bTransformation},
        {"bSize", r.bSize},
        {"bParam5", r.bParam5},
        {"bBGM", r.bBGM},
        {"bPilot1", r.bPilot1},
        {"bPilot2", r.bPilot2},
        {"bPilot3", r.bPilot3},
        {"bPilot4", r.bPilot4},
    };
    keys.arrays.push_back(arrayKey("wWeapon", r.wWeapon));
    keys.arrays.push_back(arrayKey("bUnitName", r.bUnitName));
    return keys;
}

KeyTable unitAnimeKeys(rom::UNIT_ANIME_HEADER& r)
{
    KeyTable keys;
    keys.plain = {
        {"wIdUnit", r.wIdUnit},         {"wPatternExplosion", r.wPatternExplosion},
        {"wIdSpriteBG", r.wIdSpriteBG}, {"wIdPalletBG", r.wIdPalletBG},
        {"wIdBGMap", r.wIdBGMap},       {"wParamBG", r.wParamBG},
    };
    for (std::size_t i = 0; i < rom::kUnitMotionGroups; ++i) {
        const std::string n = std::to_string(i + 1);
        rom::UnitMotionGroup& group = r.motion[i];
        keys.plain.push_back({"wIdSprite" + n + "_1", group.wIdSprite_1});
        keys.plain.push_back({"wIdPallet" + n + "_1", group.wIdPallet_1});
        keys.plain.push_back({"wIdSprite" + n + "_2", group.wIdSprite_2});
        keys.plain.push_back({"wIdPallet" + n + "_2", group.wIdPallet_2});
        keys.plain.push_back({"wIdMotionPart" + n, group.wIdMotionPart});
        keys.plain.push_back({"wIdShadowEtc" + n, group.wIdShadowEtc});
        keys.plain.push_back({"wIdCutinScroll" + n, group.wIdCutinScroll});
        keys.plain.push_back({"wParam" + n, group.wParam});
    }
    return keys;
}

KeyTable fixedAnimeKeys(rom::FIXED_ANIME_HEADER& r)
{
    KeyTable keys;
    keys.plain = {
        {"wIdWeapon", r.wIdWeapon},
        {"wOtherAnime", r.wOtherAnime},
        {"wIdSprite1_1", r.wIdSprite1_1},
        {"wIdPallet1_1", r.wIdPallet1_1},
        {"wIdSprite1_2", r.wIdSprite1_2},
        {"wIdPallet1_2", r.wIdPallet1_2},
        {"wIdSprite1_3", r.wIdSprite1_3},
        {"wIdPallet1_3", r.wIdPallet1_3},
        {"wIdSprite1_4", r.wIdSprite1_4},
        {"wIdPallet1_4", r.wIdPallet1_4},
        {"wIdMotionPart1", r.wIdMotionPart1},
        {"wIdShadowEtc1", r.wIdShadowEtc1},
        {"wIdCutinScroll1", r.wIdCutinScroll1},
        {"wParam1", r.wParam1},
        {"wIdSprite2_1", r.wIdSprite2_1},
        {"wIdPallet2_1", r.wIdPallet2_1},
        {"wIdSprite2_2", r.wIdSprite2_2},
        {"wIdPallet2_2", r.wIdPallet2_2},
        {"wIdSprite2_3", r.wIdSprite2_3},
        {"wIdPallet2_3", r.wIdPallet2_3},
        {"wIdMotionPart2", r.wIdMotionPart2},
        {"wIdShadowEtc2", r.wIdShadowEtc2},
        {"wIdCutinScroll2", r.wIdCutinScroll2},
        {"wParam2", r.wParam2},
        {"wIdSprite3_1", r.wIdSprite3_1},
        {"wIdPallet3_1", r.wIdPallet3_1},
        {"wIdSprite3_2", r.wIdSprite3_2},
        {"wIdPallet3_2", r.wIdPallet3_2},
        {"wIdSprite3_3", r.wIdSprite3_3},
        {"wIdPallet3_3", r.wIdPallet3_3},
        {"wIdMotionPart3", r.wIdMotionPart3},
        {"wIdShadowEtc3", r.wIdShadowEtc3},
        {"wIdCutinScroll3", r.wIdCutinScroll3},
        {"wParam3", r.wParam3},
        {"wIdMotionPart3_2", r.wIdMotionPart3_2},
        {"wIdShadowEtc3_2", r.wIdShadowEtc3_2},
        {"wIdCutinScroll3_2", r.wIdCutinScroll3_2},
        {"wParam4", r.wParam4},
    };
    return keys;
}

KeyTable weaponKeys(rom::WEAPON_DATA& r)
{
    KeyTable keys;
    keys.plain = {
        {"bWeaponType1", r.bWeaponType1},
        {"bWeaponType2", r.bWeaponType2},
        {"bIsRemovableWeapon", r.bIsRemovableWeapon},
        {"bWGageRequired", r.bWGageRequired},
        {"bRangeNearest", r.bRangeNearest},
        {"bRangeFarthest", r.bRangeFarthest},
        {"bCustomizeCostType", r.bCustomizeCostType},
        {"bAttackIncreaseType", r.bAttackIncreaseType},
        {"wMapWeaponRange", r.wMapWeaponRange},
        {"bParam1", r.bParam1},
        {"bMapWeaponEffect", r.bMapWeaponEffect},
        {"bMapWeaponDistinction", r.bMapWeaponDistinction},
        {"bParam2", r.bParam2},
        {"bSkillRequired", r.bSkillRequired},
        {"bSkillLevelRequired", r.bSkillLevelRequired},
        {"wAttackPoint", r.wAttackPoint},
        {"wHit", r.wHit},
        {"wCritical", r.wCritical},
        {"wBulletMax", r.wBulletMax},
        {"wENCost", r.wENCost},
        {"wWillRequired", r.wWillRequired},
        {"wGeoAdaptation", r.wGeoAdaptation},
        {"wPWeaponInfo", r.wPWeaponInfo},
    };
    keys.arrays.push_back(arrayKey("bWeaponName", r.bWeaponName));
    return keys;
}

KeyTable bgMapKeys(rom::BGMAP& r)
{
    KeyTable keys;
    keys.plain = {{"dwAddress", r.dwAddress}, {"wSize", r.wSize}, {"wParam1", r.wParam1}};
    return keys;
}

std::string UnitDataText(const rom::UnitDataRecord& record)
{
    rom::UnitDataRecord copy = record;
    return writeText({}, unitDataKeys(copy));
}

std::string UnitAnimeText(const rom::UNIT_ANIME_HEADER& record)
{
    rom::UNIT_ANIME_HEADER copy = record;
    return writeText(kUnitAnimeTypeName, unitAnimeKeys(copy));
}

std::string FixedAnimeText(const rom::FIXED_ANIME_HEADER& record)
{
    rom::FIXED_ANIME_HEADER copy = record;
    return writeText(kFixedAnimeTypeName, fixedAnimeKeys(copy));
}

std::string WeaponText(const rom::WEAPON_DATA& record)
{
    rom::WEAPON_DATA copy = record;
    return writeText(kWeaponTypeName, weaponKeys(copy));
}

std::string BGMapText(const rom::BGMAP& record)
{
    rom::BGMAP copy = record;
    return writeText(kBGMapTypeName, bgMapKeys(copy));
}

}  // namespace editor
