// The session's ID area extension and extension-info commands.

#include "transplant/keldra_session.hpp"

#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/keldra_messages.hpp"

namespace transplant {
namespace {

std::string extendCaption()
{
    return std::string(messages::kExtendCaption);
}

}  // namespace

KeldraSession::ExtensionOutcome KeldraSession::ExtendIdArea()
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
    outcome.infoWanted = shell::showMessage(shell_, messages::kSaveInfoQuestion, extendCaption(),
                                            shell::Buttons::OkCancel) == shell::Answer::Ok;
    return outcome;
}

void KeldraSession::AnnounceExtended()
{
    shell::showMessage(shell_, messages::kExtended, std::string(messages::kExtendedCaption));
}

bool KeldraSession::SaveExtendInfo(const std::filesystem::path& path)
{
    const std::string text = extensionInfoText(extension_);
    const bool saved = shell::writeWholeFile(shell_, path, rom::Bytes(text.begin(), text.end()));
    AnnounceInfoSaved(saved);
    return saved;
}

void KeldraSession::AnnounceInfoSaved(bool saved)
{
    shell::showMessage(shell_, saved ? messages::kInfoSaved : messages::kInfoNotSaved,
                       std::string(messages::kSaveInfoCaption));
}

bool KeldraSession::ConfirmSaveExtendInfo()
{
    return extension_.loaded &&
           shell::showMessage(shell_, messages::kSaveInfoQuestion, extendCaption(),
                              shell::Buttons::OkCancel) == shell::Answer::Ok;
}

bool KeldraSession::LoadExtendInfo(const std::filesystem::path& path)
{
    const std::optional<rom::Bytes> bytes = shell::readWholeFile(shell_, path);
    if (!bytes)
        return false;
    ExtensionInfo info = parseExtensionInfoText(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
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
