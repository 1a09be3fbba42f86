// Extraction of several units in one run, as a careful user wants it:
// - "all" is every unit slot that holds a unit. Empty slots (named with the empty-unit marker, as
//   deletion leaves them and the free list offers them) hold nothing worth a folder and are skipped.
// - A unit given twice is wrong usage, as a slip of the hand more likely than a wish.
// - No two units write into one folder: a unit whose folder name an earlier unit of the run took
//   (units of one name, such as the game's dummies) gets its ID appended ("ダミー機_004"). The
//   names depend on the image and the units given only, so a second run replaces the same folders.
// - A unit that cannot be read or written is reported, and the others are still extracted; the
//   run then ends with the failure status.
// - --off names positions in one unit's lists, which differ from unit to unit: it takes one unit.

#include "transplant/keldra_cli_extract.hpp"

#include "rom/game_tables.hpp"
#include "shell/command_line.hpp"
#include "shell/folder_names.hpp"
#include "transplant/extraction.hpp"
#include "transplant/file_set.hpp"
#include "transplant/keldra_cli_image.hpp"
#include "transplant/unit_texts.hpp"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace transplant::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDir = "--dir";
constexpr std::string_view kOff = "--off";
constexpr std::string_view kBulkOff = "--bulk-off";
constexpr char kKindEnd = ':';
constexpr char kPositionSeparator = ',';

// One "--off KIND:POS[,POS...]".
struct ClearedItems {
    std::string text;  // as given, for messages
    rom::ResourceKind kind;
    std::vector<std::uint32_t> positions;
};

ClearedItems parseOff(const shell::CommandCall& call, std::string_view text)
{
    const std::size_t colon = text.find(kKindEnd);
    if (colon == std::string_view::npos)
        call.usageError("--off takes KIND:POS[,POS...]");
    const std::string_view name = text.substr(0, colon);
    const auto* kind = std::ranges::find_if(file_set::kIndexedKinds, [&](rom::ResourceKind k) {
        return rom::kindName(k) == name;
    });
    if (kind == file_set::kIndexedKinds.end())
        call.usageError("unknown kind " + std::string(name));
    ClearedItems cleared{std::string(text), *kind, {}};
    std::string_view positions = text.substr(colon + 1);
    while (true) {
        const std::size_t comma = positions.find(kPositionSeparator);
        cleared.positions.push_back(call.number(positions.substr(0, comma), "--off POS"));
        if (comma == std::string_view::npos)
            return cleared;
        positions.remove_prefix(comma + 1);
    }
}

// The flags of the extraction dialog for the selected unit: everything, less --off and --bulk-off.
SelectionFlags chosenFlags(const shell::CommandCall& call, const std::vector<ClearedItems>& offs,
                           const rom::UnitResourceSet& selected)
{
    SelectionFlags flags;
    flags.selectAll();
    for (const ClearedItems& off : offs) {
        const std::size_t count = selected.list(off.kind).size();
        for (std::uint32_t position : off.positions) {
            if (position >= count)
                call.usageError("--off " + off.text + ": the unit has " + std::to_string(count) +
                                " " + std::string(rom::kindName(off.kind)) + " entries");
            flags.set(off.kind, position, false);
        }
    }
    if (call.flag(kBulkOff))
        flags.bulkOff();
    return flags;
}

// Extracts one unit into `folder`; the folder when every file was written.
std::optional<fs::path> extractUnit(ImageRun& run, const std::vector<ClearedItems>& offs,
                                    std::uint16_t unit, const fs::path& folder)
{
    if (!run.session.selectUnit(unit))
        return std::nullopt;
    const SelectionFlags flags = chosenFlags(run.call, offs, run.session.selectedUnit());
    const std::optional<ExtractionResult> result = run.session.ExtractUnit(flags, folder);
    if (!result || !result->complete)
        return std::nullopt;
    return result->folder;
}

std::vector<std::uint16_t> occupiedSlots(const KeldraSession& session)
{
    std::vector<std::uint16_t> units;
    for (std::uint16_t unit = 0; unit < rom::kUnitCount; ++unit) {
        if (!session.isEmptyUnitSlot(unit))
            units.push_back(unit);
    }
    return units;
}

int extractUnits(ImageRun& run, const std::vector<ClearedItems>& offs,
                 std::span<const std::uint16_t> units, bool several)
{
    std::error_code error;
    const std::optional<fs::path> dir = run.call.pathOption(kDir);
    const fs::path base = dir ? *dir : fs::current_path(error);
    std::vector<std::string> ownNames;
    std::vector<std::string> tags;
    for (std::uint16_t unit : units) {
        ownNames.push_back(run.session.extractionFolderName(unit));
        tags.push_back(unitIdText(unit));
    }
    const std::vector<std::string> folders = shell::distinctFolderNames(ownNames, tags);

    bool everyUnit = true;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (several)
            run.call.err << '[' << i + 1 << '/' << units.size() << "] "
                         << run.session.unitLine(units[i]) << '\n';
        const std::optional<fs::path> folder =
            extractUnit(run, offs, units[i], base / shell::pathFromUtf8(folders[i]));
        if (folder)
            run.call.out << shell::pathText(*folder) << '\n';
        else
            everyUnit = false;
    }
    return everyUnit ? shell::kExitDone : shell::kExitFailed;
}

}  // namespace

std::vector<shell::OptionSpec> extractOptions()
{
    return {
        {kDir, "DIR", "the folder that receives the units' folders (default: the current folder)"},
        {kOff, "KIND:POS[,POS...]",
         "clears those positions of the unit's KIND list (FixedWeapon, UnitCutin, ...); one unit",
         false, true},
        {kBulkOff, "", "clears the system animations, graphic changes and unit cut-ins (一括OFF)"},
    };
}

int runExtract(shell::CommandCall& call)
{
    const std::optional<shell::CommandCall::NumbersOrAll> chosen = call.numbersOrAll(
        call.arguments().subspan(1), kUnit, rom::kUnitCount, kUnitNumberName, kUnitIdDigits);
    if (!chosen)
        return shell::kExitFailed;
    const bool all = chosen->all;
    std::vector<std::uint16_t> units;
    for (const std::uint32_t unit : chosen->numbers)
        units.push_back(static_cast<std::uint16_t>(unit));
    std::vector<ClearedItems> offs;
    for (const std::string& off : call.options(kOff))
        offs.push_back(parseOff(call, off));
    if (!offs.empty() && (all || units.size() > 1))
        call.usageError("--off takes one unit: list positions differ from unit to unit");

    return runOnImage(call, {}, [&](ImageRun& run) {
        if (all)
            units = occupiedSlots(run.session);
        return extractUnits(run, offs, units, all || units.size() > 1);
    });
}

}  // namespace transplant::cli
