#include "transplant/file_set.hpp"

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

std::uint16_t valueOf(std::string_view text, std::string_view key)
{
    return static_cast<std::uint16_t>(findKeyValue(text, key).value_or(0));
}

}  // namespace

std::string itemFileName(std::string_view stem, std::size_t position)
{
    return std::string(stem) + std::to_string(position) + ".dat";
}

bool isFileSetFileName(std::string_view name)
{
    constexpr std::string_view kItemExtension = ".dat";
    if (std::ranges::find(file_set::kUnitFiles, name) != file_set::kUnitFiles.end())
        return true;
    if (!name.ends_with(kItemExtension))
        return false;
    const std::string_view stemAndPosition = name.substr(0, name.size() - kItemExtension.size());
    return std::ranges::any_of(file_set::kItemStems, [&](std::string_view stem) {
        if (!stemAndPosition.starts_with(stem) || stemAndPosition.size() == stem.size())
            return false;
        return std::ranges::all_of(stemAndPosition.substr(stem.size()),
                                   [](char c) { return c >= '0' && c <= '9'; });
    });
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
    rom::UnitResourceSet set;
    set.valid = true;
    set.wIdUnit = valueOf(text, kUnitKey);
    set.wIdIcon = valueOf(text, kIconKey);
    for (rom::ResourceKind kind : file_set::kIndexedKinds) {
        const std::optional<std::uint64_t> count = findKeyValue(text, countKey(kind));
        if (!count)
            return missing(countKey(kind));
        if (*count > file_set::kMaxListEntries)
            return std::unexpected(rom::RomError{std::string(file_set::kIndexFile) + " の " +
                                                 countKey(kind) + " が 255 を超えています"});
        auto& ids = set.list(kind);
        for (std::size_t j = 0; j < *count; ++j) {
            const std::optional<std::uint64_t> id = findKeyValue(text, idKey(kind, j));
            if (!id)
                return missing(idKey(kind, j));
            ids.push_back(static_cast<std::uint16_t>(*id));
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
