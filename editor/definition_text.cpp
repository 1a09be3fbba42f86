#include "editor/definition_text.hpp"

#include "rom/key_value_text.hpp"
#include "shell/number_text.hpp"
#include "shell/text_number.hpp"

#include <algorithm>
#include <limits>
#include <optional>
#include <type_traits>
#include <unordered_map>

namespace editor {
namespace {

constexpr std::string_view kTypeKey = "TYPE";
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kArrayIndexSeparator = ':';
constexpr std::string_view kBlanks = " \t";
// A line shown in a message is cut after this many bytes: a value may be a whole damaged file.
constexpr std::size_t kShownLineBytes = 64;

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The element index of an array key: a whole number inside the array.
std::optional<std::size_t> elementIndex(std::string_view text, std::size_t elements)
{
    const std::expected<shell::TextNumber, shell::TextNumberProblem> number = shell::readTextNumber(text);
    if (elements == 0 || !number || !number->fits(elements - 1))
        return std::nullopt;
    return static_cast<std::size_t>(number->magnitude);
}

// Where a key leads in a key table: plain key `index`, or element `element` of array `index`.
struct KeyTarget {
    bool isArray = false;
    std::size_t index = 0;
    std::size_t element = 0;
};

// The keys of a table by name, so that a long text is read in time proportional to its size.
class KeyIndex {
public:
    explicit KeyIndex(const KeyTable& keys) : keys_(keys)
    {
        for (std::size_t i = 0; i < keys.plain.size(); ++i)
            plain_.emplace(keys.plain[i].name, i);
        for (std::size_t i = 0; i < keys.arrays.size(); ++i)
            arrays_.emplace(keys.arrays[i].name, i);
    }

    std::optional<KeyTarget> targetOf(std::string_view key) const
    {
        if (const auto found = plain_.find(key); found != plain_.end())
            return KeyTarget{false, found->second, 0};
        // An array key's name is the part before the key's first colon; no name holds a colon.
        const std::size_t colon = key.find(kArrayIndexSeparator);
        if (colon == std::string_view::npos)
            return std::nullopt;
        const auto found = arrays_.find(key.substr(0, colon));
        if (found == arrays_.end())
            return std::nullopt;
        const std::optional<std::size_t> element =
            elementIndex(key.substr(colon + 1), keys_.arrays[found->second].elements.size());
        if (!element)
            return std::nullopt;
        return KeyTarget{true, found->second, *element};
    }

private:
    const KeyTable& keys_;
    std::unordered_map<std::string_view, std::size_t> plain_;
    std::unordered_map<std::string_view, std::size_t> arrays_;
};

// A line "[key]" followed by the rest, "=value" unless the line is malformed.
struct KeyLine {
    std::string_view key;
    std::string_view rest;  // blanks around it dropped
};

std::optional<KeyLine> keyLineOf(std::string_view line)
{
    const std::string_view body = trimmed(line);
    const std::size_t close = body.find(']');
    if (!body.starts_with('[') || close == std::string_view::npos)
        return std::nullopt;
    return KeyLine{body.substr(1, close - 1), trimmed(body.substr(close + 1))};
}

const FieldRef& fieldOf(const KeyTable& keys, const KeyTarget& target)
{
    return target.isArray ? keys.arrays[target.index].elements[target.element]
                          : keys.plain[target.index].field;
}

// The line as a message shows it: printable, and cut short.
std::string shownLine(std::string_view line)
{
    const std::string_view text = trimmed(line);
    std::string shown = shell::printableText(text.substr(0, kShownLineBytes));
    if (text.size() > kShownLineBytes)
        shown += "...";
    return shown;
}

std::string valueProblem(std::string_view fileName, std::size_t lineNumber, std::string_view line,
                         std::string_view problem)
{
    std::string message(fileName);
    message += ' ';
    message += std::to_string(lineNumber);
    message += "行目: ";
    message += shownLine(line);
    message += ' ';
    message += problem;
    return message;
}

// The problem with `number` as the value of `field`, if any.
std::optional<std::string> rangeProblem(const shell::TextNumber& number, const FieldRef& field)
{
    if (!number.fits(field.maxValue()))
        return shell::outOfRangeText(field.maxValue());
    return std::nullopt;
}

// "<file> に [<key>] の行がありません": a text that lacks the line of a key it must hold.
std::string missingLineMessage(std::string_view fileName, std::string_view key)
{
    std::string message(fileName);
    message += " に [";
    message += key;
    message += "] の行がありません";
    return message;
}

std::string writeText(std::string_view typeName, const KeyTable& keys)
{
    std::string text;
    if (!typeName.empty())
        text += rom::keyValueLine(kTypeKey, typeName);
    for (const PlainKey& plain : keys.plain)
        text += definitionLine(plain.name, plain.field.value());
    for (const ArrayKey& array : keys.arrays) {
        for (std::size_t i = 0; i < array.elements.size(); ++i)
            text += definitionLine(arrayElementKey(array.name, i), array.elements[i].value());
    }
    return text;
}

// The key of a field of numbered group `group`: the number goes before the first "_", or at the
// end.
std::string groupFieldKey(std::string_view name, std::size_t group)
{
    std::string key(name);
    const std::size_t underscore = key.find('_');
    key.insert(underscore == std::string::npos ? key.size() : underscore, std::to_string(group));
    return key;
}

// The keys of the named fields of `group` in the order of its field list, so that a field added
// to a record is in its text: a number is a plain key, an array of numbers an array key, and the
// groups of an array of groups give their keys with their numbers, counted from 1.
template <rom::FieldGroup Group>
void addKeys(KeyTable& keys, Group& group, std::size_t groupNumber = 0)
{
    const auto keyOf = [groupNumber](std::string_view name) {
        return groupNumber == 0 ? std::string(name) : groupFieldKey(name, groupNumber);
    };
    Group::fields(group, [&]<class Field>(Field& field, std::string_view name = {}) {
        if constexpr (std::is_integral_v<Field>) {
            if (!name.empty())
                keys.plain.push_back({keyOf(name), field});
        } else if constexpr (rom::FieldGroup<typename Field::value_type>) {
            for (std::size_t i = 0; i < field.size(); ++i)
                addKeys(keys, field[i], i + 1);
        } else {
            keys.arrays.push_back(arrayKey(keyOf(name), field));
        }
    });
}

template <rom::FieldGroup Record>
KeyTable keysOf(Record& record)
{
    KeyTable keys;
    addKeys(keys, record);
    return keys;
}

}  // namespace

std::uint32_t FieldRef::value() const
{
    return std::visit([](auto* field) { return static_cast<std::uint32_t>(*field); }, field_);
}

std::uint32_t FieldRef::maxValue() const
{
    return std::visit(
        [](auto* field) {
            return static_cast<std::uint32_t>(
                std::numeric_limits<std::remove_pointer_t<decltype(field)>>::max());
        },
        field_);
}

void FieldRef::store(std::uint32_t value) const
{
    std::visit(
        [value](auto* field) {
            *field = static_cast<std::remove_pointer_t<decltype(field)>>(value);
        },
        field_);
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
    return rom::keyValueLine(key, value, rom::NumberForm::Decimal);
}

std::expected<DefinedKeys, std::string> ReadDefinitionText(std::string_view text,
                                                           const KeyTable& keys,
                                                           std::string_view fileName)
{
    DefinedKeys defined;
    defined.plain.assign(keys.plain.size(), false);
    for (const ArrayKey& array : keys.arrays)
        defined.arrays.emplace_back(array.elements.size(), false);
    const KeyIndex index(keys);

    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(kLineFeed, start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.ends_with(kCarriageReturn))
            line.remove_suffix(1);

        const std::optional<KeyLine> keyLine = keyLineOf(line);
        if (!keyLine || keyLine->key == kTypeKey)
            continue;
        const std::optional<KeyTarget> target = index.targetOf(keyLine->key);
        if (!target)
            continue;
        const std::expected<shell::TextNumber, shell::TextNumberProblem> number =
            keyLine->rest.starts_with('=')
                ? shell::readTextNumber(keyLine->rest.substr(1))
                : std::unexpected(shell::TextNumberProblem::NotANumber);
        if (!number)
            return std::unexpected(
                valueProblem(fileName, lineNumber, line, shell::textNumberProblemText(number.error())));
        const FieldRef& field = fieldOf(keys, *target);
        if (const std::optional<std::string> problem = rangeProblem(*number, field))
            return std::unexpected(valueProblem(fileName, lineNumber, line, *problem));
        field.store(static_cast<std::uint32_t>(number->magnitude));
        if (target->isArray)
            defined.arrays[target->index][target->element] = true;
        else
            defined.plain[target->index] = true;
    }
    return defined;
}

std::expected<void, std::string> ReadRequiredKeys(
    std::string_view text, const KeyTable& keys, std::string_view fileName,
    const std::function<std::size_t(std::size_t)>& requiredElements)
{
    const std::expected<DefinedKeys, std::string> defined =
        ReadDefinitionText(text, keys, fileName);
    if (!defined)
        return std::unexpected(defined.error());
    for (std::size_t i = 0; i < keys.plain.size(); ++i) {
        if (!defined->plain[i])
            return std::unexpected(missingLineMessage(fileName, keys.plain[i].name));
    }
    for (std::size_t a = 0; a < keys.arrays.size(); ++a) {
        const std::size_t required = std::min(requiredElements(a), keys.arrays[a].elements.size());
        for (std::size_t i = 0; i < required; ++i) {
            if (!defined->arrays[a][i])
                return std::unexpected(
                    missingLineMessage(fileName, arrayElementKey(keys.arrays[a].name, i)));
        }
    }
    return {};
}

std::expected<void, std::string> ReadRecordText(std::string_view text, const KeyTable& keys,
                                                std::string_view fileName)
{
    return ReadRequiredKeys(text, keys, fileName,
                            [&keys](std::size_t a) { return keys.arrays[a].elements.size(); });
}

KeyTable unitDataKeys(rom::UnitDataRecord& record)
{
    return keysOf(record);
}

KeyTable unitAnimeKeys(rom::UNIT_ANIME_HEADER& record)
{
    return keysOf(record);
}

KeyTable fixedAnimeKeys(rom::FIXED_ANIME_HEADER& record)
{
    return keysOf(record);
}

KeyTable weaponKeys(rom::WEAPON_DATA& record)
{
    return keysOf(record);
}

KeyTable bgMapKeys(rom::BGMAP& record)
{
    return keysOf(record);
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
