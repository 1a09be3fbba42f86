#include "transplant/file_set.hpp"

#include "transplant/key_value_text.hpp"

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
    rom::UnitResourceSet set;
    set.valid = true;
    set.wIdUnit = valueOf(text, kUnitKey);
    set.wIdIcon = valueOf(text, kIconKey);
    for (rom::ResourceKind kind : file_set::kIndexedKinds) {
        const std::uint64_t count = findKeyValue(text, countKey(kind)).value_or(0);
        if (count > file_set::kMaxListEntries)
            return std::unexpected(rom::RomError{std::string(file_set::kIndexFile) + " の " +
                                                 countKey(kind) + " が 255 を超えています"});
        auto& ids = set.list(kind);
        for (std::size_t j = 0; j < count; ++j)
            ids.push_back(valueOf(text, idKey(kind, j)));
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
