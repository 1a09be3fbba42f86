// The session's ID area extension and extension-info commands.

#include "transplant/keldra_session.hpp"

#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/keldra_messages.hpp"

namespace transplant {
namespace {

std::string infoFilter()
{
    return shell::makeFilter({{std::string(messages::kInfoFilterDescription),
                               std::string(messages::kInfoFilterPattern)}});
}

std::string extendCaption()
{
    return std::string(messages::kExtendCaption);
}

}  // namespace

KeldraSession::ExtensionOutcome KeldraSession::ExtendIdArea(InfoSaving saving)
{
    ExtensionOutcome outcome;
    if (!rom_.loaded)
        return outcome;
    if (!extension_.loaded) {
        shell::showMessage(shell_, messages::kNoExtensionInfo);
        return outcome;
    }
    const std::string question =
        std::string(messages::kExtendQuestion) + shell::hexText(extensionStart(rom_.bytes.size()));
    if (shell::showMessage(shell_, question, extendCaption(), shell::Buttons::OkCancel) !=
        shell::Answer::Ok)
        return outcome;

    auto extended = extendIdArea(rom_.bytes, extension_);
    if (!extended) {
        reportError(extended.error().message);
        return outcome;
    }
    auto directory = readCheckedDirectory(extended->image);
    if (!directory) {
        reportError(directory.error().message);
        return outcome;
    }
    rom_.bytes = std::move(extended->image);
    extension_ = std::move(extended->info);
    directory_ = *directory;
    freeIds_ = rom::UnitResourceSet();
    outcome.extended = true;

    if (shell::showMessage(shell_, messages::kSaveInfoQuestion, extendCaption(),
                           shell::Buttons::OkCancel) == shell::Answer::Ok) {
        outcome.infoWanted = true;
        if (saving == InfoSaving::Now)
            outcome.infoSaved = SaveExtendInfo();
    }
    shell::showMessage(shell_, messages::kExtended, std::string(messages::kExtendedCaption));
    return outcome;
}

bool KeldraSession::SaveExtendInfo()
{
    const std::string text = extensionInfoText(extension_);
    const bool saved =
        shell::saveWithDialog(shell_, infoFilter(), rom::Bytes(text.begin(), text.end()));
    AnnounceInfoSaved(saved);
    return saved;
}

void KeldraSession::AnnounceInfoSaved(bool saved)
{
    shell::showMessage(shell_, saved ? messages::kInfoSaved : messages::kInfoNotSaved,
                       std::string(messages::kSaveInfoCaption));
}

bool KeldraSession::SaveExtendInfoCommand()
{
    if (!extension_.loaded)
        return false;
    if (shell::showMessage(shell_, messages::kSaveInfoQuestion, extendCaption(),
                           shell::Buttons::OkCancel) != shell::Answer::Ok)
        return false;
    return SaveExtendInfo();
}

bool KeldraSession::LoadExtendInfo()
{
    std::optional<shell::OpenedFile> file = shell::openAndReadFile(shell_, infoFilter());
    if (!file)
        return false;
    ExtensionInfo info = parseExtensionInfoText(
        std::string_view(reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size()));
    // Without an image there is no table to match: the file cannot belong to it.
    if (!rom_.loaded || !checkExtensionInfo(info, rom_.bytes, directory_)) {
        shell::showMessage(shell_, messages::kInfoMismatch);
        return false;
    }
    info.loaded = true;
    extension_ = std::move(info);
    freeIds_ = rom::UnitResourceSet();
    shell::showMessage(shell_, messages::kInfoLoaded, std::string(messages::kInfoLoadedCaption));
    return true;
}

}  // namespace transplant
