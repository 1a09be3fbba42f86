// The session's add-unit command: free IDs, loading a file set, the transplant and its report.

#include "transplant/keldra_session.hpp"

#include "rom/game_text.hpp"
#include "rom/records.hpp"
#include "shell/files.hpp"
#include "shell/path_text.hpp"
#include "shell/text_encoding.hpp"
#include "transplant/file_set.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/keldra_messages.hpp"
#include "transplant/transplant_unit.hpp"
#include "transplant/unit_file_set.hpp"
#include "transplant/unit_texts.hpp"

#include <algorithm>

namespace transplant {

bool KeldraSession::StartAddUnit()
{
    if (!rom_.loaded)
        return false;
    if (!extension_.loaded) {
        shell::showMessage(shell_, messages::kNoExtensionInfo);
        return false;
    }
    freeIds_ = rom::UnitResourceSet();
    auto freeIds = BuildFreeIdSet(rom_.bytes, directory_, extension_);
    if (!freeIds) {
        reportError(freeIds.error().message);
        return false;
    }
    freeIds_ = std::move(*freeIds);
    return true;
}

std::vector<std::string> KeldraSession::freeUnitLines() const
{
    std::vector<std::string> lines;
    for (std::uint16_t unit : freeIds_.list(rom::ResourceKind::Unit))
        lines.push_back(idNameLine(unit, unitDisplayName(unit)));
    return lines;
}

bool KeldraSession::LoadUnitFileSet(const std::filesystem::path& indexPath)
{
    const std::optional<rom::Bytes> index = shell::readWholeFile(shell_, indexPath);
    if (!index)
        return false;
    auto parsed = parseUnitAllData(
        std::string_view(reinterpret_cast<const char*>(index->data()), index->size()));
    if (!parsed) {
        reportError(parsed.error().message);
        return false;
    }
    const std::filesystem::path folder = indexPath.parent_path();
    std::optional<rom::Bytes> unit = shell::readWholeFile(shell_, folder / file_set::kUnitFile);
    if (!unit)
        return false;
    if (unit->size() < rom::UnitDataRecord::kSize) {
        reportError(shell::pathText(folder / file_set::kUnitFile) +
                    std::string(messages::kUnitFileTooShort));
        return false;
    }
    const rom::ByteSpan name =
        rom::ByteSpan(*unit).subspan(rom::UnitDataRecord::kNameOffset, rom::kGameNameLength);

    // The set replaces the loaded one only once all of it has been read, so a refused load
    // leaves the set the dialog shows as the one "追加" would add.
    loaded_ = std::move(*parsed);
    unitFolder_ = folder;
    loadedName_ = shell::sjisToUtf8(
        rom::DecodeGameText(name, rom::kGameNameLength, table_,
                            rom::AbsentCodeRule::CharacterAfterFirstComma));
    loaded_.list(rom::ResourceKind::Unit) = {loaded_.wIdUnit};
    loaded_.list(rom::ResourceKind::IconData) = {loaded_.wIdIcon};
    return true;
}

bool KeldraSession::TransplantUnit(std::uint16_t slot)
{
    if (!rom_.loaded || !freeIds_.valid || !loaded_.valid)
        return false;
    if (!hasRoomFor(freeIds_, loaded_)) {
        shell::showMessage(shell_, messages::kShortage);
        for (const std::string& line : shortageLines(freeIds_, loaded_))
            shell_.detail(line);
        return false;
    }
    const auto& freeUnits = freeIds_.list(rom::ResourceKind::Unit);
    if (std::ranges::find(freeUnits, slot) == freeUnits.end()) {
        reportError(std::string(messages::kSlotNotFree) + idNameLine(slot, unitDisplayName(slot)));
        return false;
    }
    // The load read only the index and the unit's name. The whole set is read and checked here,
    // as the files are now: the ID checks depend on the target's extension info, which may have
    // changed since the load, and a set mended on disk after a refused add is added as mended.
    std::optional<UnitFileSet> files = readUnitFileSet(shell_, unitFolder_, loaded_, extension_);
    if (!files)
        return false;

    freeIds_.wIdUnit = slot;
    auto icon = transplantUnit(rom_.bytes, directory_, freeIds_, loaded_, *files);
    if (!icon) {
        reportError(icon.error().message + std::string(messages::kNotAdded));
        return false;
    }
    freeIds_.wIdIcon = *icon;
    // The IDs just used are no longer free; the next add command finds the free ones anew.
    freeIds_.valid = false;
    return true;
}

std::string KeldraSession::AnnounceAddedUnit(std::uint16_t slot)
{
    const std::string name = unitDisplayName(slot);
    shell::showMessage(shell_,
                       unitIdText(slot) + std::string(messages::kAddedJoin) + name +
                           std::string(messages::kAddedSuffix),
                       std::string(messages::kAddedCaption));
    return idNameLine(slot, name);
}

}  // namespace transplant
