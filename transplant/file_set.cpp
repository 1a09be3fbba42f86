#include "transplant/file_set.hpp"

#include "shell/number_text.hpp"
#include "shell/text_number.hpp"
#include "transplant/key_value_text.hpp"

#include <algorithm>

namespace transplant {
namespace {

constexpr std::string_view kCountPrefix = "bNum";
constexpr std::string_view kIdPrefix = "wId";
constexpr std::string_view kUnitKey = "wIdUnit";
constexpr std::string_view kIconKey = "wIdIcon";

std::string countKey(rom::ResourceKind kind)
{
    return std::string(kCountPrefix) + std::string(rom::kindName(kind));
}

std::string idKey(rom::ResourceKind kind, std::size_t position)
{
    return std::string(kIdPrefix) + std::string(rom::kindName(kind)) + std::to_string(position);
}

constexpr std::uint64_t kLargestId = 0xFFFF;

// The value of `key` in the index, which must be a number of the texts' forms up to `maxValue`;
// nothing when the key does not occur.
rom::RomResult<std::optional<std::uint64_t>> indexValue(std::string_view text, const std::string& key,
                                                        std::uint64_t maxValue)
{
    const std::optional<std::string_view> value = findKeyValueText(text, key);
    if (!value)
        return std::nullopt;
    const auto refuse = [&](std::string_view problem) {
        return std::unexpected(rom::RomError{std::string(file_set::kIndexFile) + ": [" + key + "]=" +
                                             shell::printableText(*value) + " " + std::string(problem)});
    };
    const std::expected<shell::TextNumber, shell::TextNumberProblem> number = shell::readTextNumber(*value);
    if (!number)
        return refuse(shell::textNumberProblemText(number.error()));
    if (!number->fits(maxValue))
        return refuse(shell::outOfRangeText(maxValue));
    return number->magnitude;
}

}  // namespace

std::string itemFileName(std::string_view stem, std::size_t position)
{
    return std::string(stem) + std::to_string(position) + ".dat";
}

std::string unitAllDataText(const rom::UnitResourceSet& set)
{
    std::string text = keyValueLine(kUnitKey, set.wIdUnit) + keyValueLine(kIconKey, set.wIdIcon);
    for (rom::ResourceKind kind : file_set::kIndexedKinds)
        text += keyValueLine(countKey(kind), static_cast<std::uint32_t>(set.list(kind).size()));
    for (rom::ResourceKind kind : file_set::kIndexedKinds) {
        const auto& ids = set.list(kind);
        for (std::size_t j = 0; j < ids.size(); ++j)
            text += keyValueLine(idKey(kind, j), ids[j]);
    }
    return text;
}

rom::RomResult<rom::UnitResourceSet> parseUnitAllData(std::string_view text)
{
    // The counts and the list entries they announce must all be there: without them the index
    // was cut short (or is no index), and reading the lost IDs as 0 would transplant a unit whose
    // records keep IDs of the source image. The two leading IDs read as 0 when missing.
    const auto missing = [](const std::string& key) {
        return std::unexpected(
            rom::RomError{std::string(file_set::kIndexFile) + " に [" + key + "] の行がありません"});
    };
    // A value that is no number, or an ID beyond 16 bits, is refused rather than read as something
    // else: a mistyped ID would leave fields unmapped.
    rom::UnitResourceSet set;
    set.valid = true;
    for (const auto& [key, field] : {std::pair{kUnitKey, &set.wIdUnit}, std::pair{kIconKey, &set.wIdIcon}}) {
        const auto value = indexValue(text, std::string(key), kLargestId);
        if (!value)
            return std::unexpected(value.error());
        *field = static_cast<std::uint16_t>(value->value_or(0));
    }
    for (rom::ResourceKind kind : file_set::kIndexedKinds) {
        const auto count = indexValue(text, countKey(kind), file_set::kMaxListEntries);
        if (!count)
            return std::unexpected(count.error());
        if (!*count)
            return missing(countKey(kind));
        auto& ids = set.list(kind);
        for (std::size_t j = 0; j < **count; ++j) {
            const auto id = indexValue(text, idKey(kind, j), kLargestId);
            if (!id)
                return std::unexpected(id.error());
            if (!*id)
                return missing(idKey(kind, j));
            ids.push_back(static_cast<std::uint16_t>(**id));
        }
    }
    return set;
}

rom::RomResult<void> checkListsFitIndex(const rom::UnitResourceSet& set)
{
    for (rom::ResourceKind kind : file_set::kIndexedKinds) {
        const std::size_t count = set.list(kind).size();
        if (count > file_set::kMaxListEntries)
            return std::unexpected(rom::RomError{
                std::string(rom::kindName(kind)) + " が " + std::to_string(count) +
                " 個あり、抽出データに書ける 255 個を超えています"});
    }
    return {};
}

}  // namespace transplant
