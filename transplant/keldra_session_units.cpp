// The session's commands on the selected unit: extraction and deletion.

#include "transplant/keldra_session.hpp"

#include "shell/files.hpp"
#include "transplant/keldra_messages.hpp"
#include "transplant/unit_deletion.hpp"
#include "transplant/unit_texts.hpp"

namespace transplant {

std::optional<ExtractionResult> KeldraSession::ExtractUnit(const SelectionFlags& flags,
                                                           const std::filesystem::path& folder)
{
    if (!rom_.loaded || !selected_.valid)
        return std::nullopt;
    auto set = buildExtractionSet(rom_.bytes, directory_, selected_, flags);
    if (!set) {
        reportError(set.error().message);
        return std::nullopt;
    }
    auto files = buildFileSet(rom_.bytes, directory_, *set);
    if (!files) {
        reportError(files.error().message);
        return std::nullopt;
    }

    const std::string name = unitDisplayName(set->wIdUnit);
    ExtractionResult result{folder};
    // A set with a missing file cannot be transplanted: the files go in all together or none of
    // them does. They can be extracted again from the image at any time, so none waits for the
    // disk.
    if (!shell::writeFolderFiles(shell_, result.folder, *files, shell::Durability::Replace)) {
        shell::showMessage(shell_, messages::kFileNotWritten);
        result.complete = false;
        return result;
    }
    shell::showMessage(shell_, name + std::string(messages::kExtractedSuffix),
                       std::string(messages::kExtractedCaption));
    return result;
}

std::optional<std::string> KeldraSession::DeleteSelectedUnit()
{
    if (!rom_.loaded || !selected_.valid)
        return std::nullopt;
    const std::uint16_t unitId = selected_.wIdUnit;
    if (shell::showMessage(shell_, messages::kDeleteQuestion, unitDisplayName(unitId),
                           shell::Buttons::OkCancel) != shell::Answer::Ok)
        return std::nullopt;
    if (auto done = deleteUnitRecords(rom_.bytes, directory_, unitId,
                                      selected_.list(rom::ResourceKind::FixedWeapon));
        !done) {
        reportError(done.error().message);
        return std::nullopt;
    }
    return idNameLine(unitId, unitDisplayName(unitId));
}

}  // namespace transplant
