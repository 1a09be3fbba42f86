// libFuzzer target: any text either is refused with a message (a missing count or list entry, a
// count above 255) or reads into a valid set whose lists fit the index, and the text the writer
// makes of that set reads back to the same set and is written again unchanged.

#include "transplant/file_set.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool sameSet(const rom::UnitResourceSet& a, const rom::UnitResourceSet& b)
{
    return a.valid == b.valid && a.wIdUnit == b.wIdUnit && a.wIdIcon == b.wIdIcon &&
           a.lists == b.lists;
}

bool onlyIndexedKindsFilled(const rom::UnitResourceSet& set)
{
    for (std::size_t k = 0; k < rom::kResourceKindCount; ++k) {
        const auto kind = static_cast<rom::ResourceKind>(k);
        const bool indexed = std::find(transplant::file_set::kIndexedKinds.begin(),
                                       transplant::file_set::kIndexedKinds.end(),
                                       kind) != transplant::file_set::kIndexedKinds.end();
        if (!indexed && !set.list(kind).empty())
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rom::RomResult<rom::UnitResourceSet> parsed = transplant::parseUnitAllData(text);
    if (!parsed) {
        if (parsed.error().message.empty())
            std::abort();
        return 0;
    }
    if (!parsed->valid || !onlyIndexedKindsFilled(*parsed) || !transplant::checkListsFitIndex(*parsed))
        std::abort();

    const std::string written = transplant::unitAllDataText(*parsed);
    const rom::RomResult<rom::UnitResourceSet> back = transplant::parseUnitAllData(written);
    if (!back || !sameSet(*back, *parsed))
        std::abort();
    if (transplant::unitAllDataText(*back) != written)
        std::abort();
    return 0;
}
