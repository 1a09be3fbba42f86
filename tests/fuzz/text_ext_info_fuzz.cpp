// libFuzzer target: any ".ExtInfo" text reads into an info whose text reads back to the same
// tables, and the check against an image (demo image B as the game lays it out, or the same image
// after an ID area extension) accepts only an info whose every table lies where the directory says,
// has its record size, fits in the image and runs over no other table.

#include "rom/game_tables.hpp"
#include "tests/support/demo_scenario.hpp"
#include "transplant/id_extension.hpp"

#include <cstdlib>
#include <string_view>

namespace {

struct Base {
    rom::Bytes image;
    rom::TableDirectory directory;
    transplant::ExtensionInfo info;  // the info that describes the image
};

struct Bases {
    Base plain;
    Base extended;
};

rom::TableDirectory directoryOf(const rom::Bytes& image)
{
    const rom::RomResult<rom::TableDirectory> directory = rom::readTableDirectory(image);
    if (!directory)
        std::abort();
    return *directory;
}

const Bases& bases()
{
    static const Bases built = [] {
        Bases b;
        const synthetic::Bytes demo = synthetic::makeDemoScenarioB().image;
        b.plain.image.assign(demo.begin(), demo.end());
        b.plain.directory = directoryOf(b.plain.image);
        b.plain.info = transplant::presetExtensionInfo();
        rom::RomResult<transplant::ExtendedImage> extended =
            transplant::extendIdArea(b.plain.image, b.plain.info);
        if (!extended)
            std::abort();
        b.extended.image = std::move(extended->image);
        b.extended.directory = directoryOf(b.extended.image);
        b.extended.info = extended->info;
        // Each image's own info passes, the other's does not.
        if (!transplant::checkExtensionInfo(b.plain.info, b.plain.image, b.plain.directory) ||
            !transplant::checkExtensionInfo(b.extended.info, b.extended.image, b.extended.directory) ||
            transplant::checkExtensionInfo(b.plain.info, b.extended.image, b.extended.directory))
            std::abort();
        return b;
    }();
    return built;
}

bool sameTables(const transplant::ExtensionInfo& a, const transplant::ExtensionInfo& b)
{
    for (std::size_t i = 0; i < a.tables.size(); ++i) {
        if (a.tables[i].dwAddress != b.tables[i].dwAddress ||
            a.tables[i].wSizeItem != b.tables[i].wSizeItem ||
            a.tables[i].wNumLastEntryId != b.tables[i].wNumLastEntryId)
            return false;
    }
    return true;
}

// What an accepted info promises, worked out here from the table catalogue.
bool describes(const transplant::ExtensionInfo& info, const Base& base)
{
    for (rom::ResourceKind kind : rom::kExtendableKinds) {
        const transplant::ExtensionTable& table = info.table(kind);
        const rom::GameTable gameTable = rom::tableOf(kind);
        const std::uint64_t start = table.dwAddress;
        const std::uint64_t end = start + (std::uint64_t{table.wNumLastEntryId} + 1) * table.wSizeItem;
        if (start != base.directory.offset(gameTable) || table.wSizeItem != rom::recordSizeOf(gameTable) ||
            end > base.image.size())
            return false;
        const bool gamesOwnPlace = start == rom::tableLocation(gameTable).unextendedOffset &&
                                   table.wNumLastEntryId <= rom::unextendedLastId(kind);
        if (gamesOwnPlace)
            continue;
        for (std::size_t t = 0; t < rom::kGameTableCount; ++t) {
            const std::uint64_t other = base.directory.offsets[t];
            if (static_cast<rom::GameTable>(t) != gameTable && other > start && other < end)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    bases();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Base& base = (data[0] & 1) != 0 ? bases().extended : bases().plain;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const transplant::ExtensionInfo info = transplant::parseExtensionInfoText(text);
    if (info.loaded)
        std::abort();
    const std::string written = transplant::extensionInfoText(info);
    const transplant::ExtensionInfo back = transplant::parseExtensionInfoText(written);
    if (!sameTables(back, info) || transplant::extensionInfoText(back) != written)
        std::abort();

    const rom::RomResult<void> checked = transplant::checkExtensionInfo(info, base.image, base.directory);
    if (checked.has_value() != describes(info, base))
        std::abort();
    if (!checked && checked.error().message.empty())
        std::abort();
    return 0;
}
