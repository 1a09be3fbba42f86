// libFuzzer target: the definition text reader over each of the five record texts and the unit
// folder index. A text is either refused with a message that names its file, or read; whatever a
// text sets, the writer's text of the result reads back whole into a record that holds other
// values throughout, and makes that record write the same text: every text the tools write loads,
// and every key the writer puts out is read back exactly. A text without "[" names no key and
// leaves every byte of a record as it was.

#include "editor/definition_text.hpp"
#include "editor/unit_all_text.hpp"
#include "editor/unit_data_set.hpp"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::uint8_t kFillA = 0x00;
constexpr std::uint8_t kFillB = 0xA5;
constexpr std::string_view kFileName = "text.dat";

template <class Record>
Record filled(std::uint8_t byte)
{
    Record record;
    std::memset(static_cast<void*>(&record), byte, sizeof record);
    return record;
}

void requireNamesItsFile(const std::string& message, std::string_view fileName)
{
    if (!message.starts_with(fileName))
        std::abort();
}

// Reads `text` into a record, writes it, reads that into a record of other bytes, writes again.
template <class Record, class Keys, class Write>
void roundTrip(std::string_view text, Keys keysOf, Write write)
{
    Record first = filled<Record>(kFillA);
    const auto read = editor::ReadDefinitionText(text, keysOf(first), kFileName);
    if (!read) {
        requireNamesItsFile(read.error(), kFileName);
        return;
    }
    const std::string written = write(first);

    Record second = filled<Record>(kFillB);
    if (!editor::ReadRecordText(written, keysOf(second), kFileName) || write(second) != written)
        std::abort();
}

void unitAllRoundTrip(std::string_view text)
{
    editor::UnitDataSet first;
    const auto read = editor::ReadUnitAllText(text, first);
    if (!read) {
        requireNamesItsFile(read.error(), editor::kUnitAllFileName);
        return;
    }
    const std::string written = editor::UnitAllText(first);

    editor::UnitDataSet second;
    second.wUnitID = 0xA5A5;
    second.bNumSprite = 0xA5;
    second.wIdSprite.fill(0x1234);
    second.dwAdrCutinScroll.fill(0xDEADBEEF);
    if (!editor::ReadUnitAllText(written, second) || editor::UnitAllText(second) != written)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 6) {
    case 0:
        roundTrip<rom::UnitDataRecord>(text, editor::unitDataKeys, editor::UnitDataText);
        break;
    case 1:
        roundTrip<rom::UNIT_ANIME_HEADER>(text, editor::unitAnimeKeys, editor::UnitAnimeText);
        break;
    case 2:
        roundTrip<rom::FIXED_ANIME_HEADER>(text, editor::fixedAnimeKeys, editor::FixedAnimeText);
        break;
    case 3:
        roundTrip<rom::WEAPON_DATA>(text, editor::weaponKeys, editor::WeaponText);
        break;
    case 4:
        roundTrip<rom::BGMAP>(text, editor::bgMapKeys, editor::BGMapText);
        break;
    default:
        unitAllRoundTrip(text);
        break;
    }

    if (text.find('[') == std::string_view::npos) {
        rom::WEAPON_DATA record = filled<rom::WEAPON_DATA>(kFillB);
        const rom::WEAPON_DATA before = record;
        if (!editor::ReadDefinitionText(text, editor::weaponKeys(record), kFileName) ||
            std::memcmp(&record, &before, sizeof record) != 0)
            std::abort();
    }
    return 0;
}
