#include "transplant/keldra_session.hpp"

#include "rom/record_names.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "shell/text_encoding.hpp"
#include "transplant/free_ids.hpp"
#include "transplant/id_extension.hpp"
#include "transplant/keldra_messages.hpp"
#include "transplant/unit_texts.hpp"

namespace transplant {
namespace {

constexpr std::string_view kSaved = "保存完了しました";
constexpr std::string_view kSavedCaption = "保存完了";
constexpr std::string_view kTablesUnreadable = "ROMのテーブルを読めません\r\n";

}  // namespace

rom::RomResult<rom::TableDirectory> KeldraSession::readCheckedDirectory(rom::ByteSpan image) const
{
    auto directory = rom::readTableDirectory(image);
    if (!directory)
        return directory;
    if (auto fits = rom::checkFixedTablesFit(image, *directory); !fits)
        return std::unexpected(fits.error());
    return directory;
}

KeldraSession::KeldraSession(shell::Shell& shell, rom::CharacterTable table)
    : shell_(shell), table_(std::move(table))
{
}

bool KeldraSession::OpenRom(const std::filesystem::path& path)
{
    // Room to grow up to the cartridge's size: transplants append in place without a copy.
    std::optional<rom::Bytes> bytes = shell::readWholeFile(shell_, path, kCartridgeLimit);
    if (!bytes)
        return false;

    rom_ = rom::RomImage{std::move(*bytes), true};
    directory_ = rom::TableDirectory();
    selected_ = rom::UnitResourceSet();
    extension_ = ExtensionInfo();
    freeIds_ = rom::UnitResourceSet();

    if (!rom::isSupportedGame(rom_.bytes)) {
        const std::string found = shell::printableText(rom::gameCodeOf(rom_.bytes));
        rom_ = rom::RomImage();
        shell_.message(rom::kNotSupportedGame, found, shell::Buttons::Ok, shell::Icon::None);
        return false;
    }
    auto directory = readCheckedDirectory(rom_.bytes);
    if (!directory) {
        rom_ = rom::RomImage();
        reportError(std::string(kTablesUnreadable) + directory.error().message);
        return false;
    }
    directory_ = *directory;
    if (rom::isUnextended(directory_))
        extension_ = presetExtensionInfo();
    return true;
}

bool KeldraSession::SaveRom(const std::filesystem::path& path)
{
    if (!rom_.loaded)
        return false;
    if (!shell::writeWholeFile(shell_, path, rom_.bytes))
        return false;
    shell_.message(kSaved, std::string(kSavedCaption), shell::Buttons::Ok, shell::Icon::None);
    return true;
}

std::vector<std::string> KeldraSession::unitListLines() const
{
    std::vector<std::string> lines;
    if (!rom_.loaded)
        return lines;
    for (std::uint16_t unit = 0; unit < rom::kUnitCount; ++unit) {
        // The unit table was checked when the image was opened, so every name can be read.
        lines.push_back(unitLine(unit));
    }
    return lines;
}

std::string KeldraSession::unitLine(std::uint16_t unitId) const
{
    return idNameLine(unitId, unitDisplayName(unitId));
}

bool KeldraSession::isEmptyUnitSlot(std::uint16_t unitId) const
{
    const auto record = rom::recordBytes(rom_.bytes, directory_, rom::GameTable::Unit, unitId);
    return record && isEmptyUnitRecord(*record);
}

std::string KeldraSession::extractionFolderName(std::uint16_t unitId) const
{
    return unitFolderName(unitDisplayName(unitId), unitId);
}

std::optional<UnitPanels> KeldraSession::selectUnit(std::uint16_t unitId)
{
    if (!rom_.loaded || unitId >= rom::kUnitCount)
        return std::nullopt;
    selected_ = rom::UnitResourceSet();

    auto set = rom::CollectUnitResources(rom_.bytes, directory_, unitId);
    if (!set) {
        reportError(set.error().message);
        return std::nullopt;
    }
    const std::string name = unitDisplayName(unitId);
    auto information = unitInformationText(rom_.bytes, directory_, unitId, name, table_);
    if (!information) {
        reportError(information.error().message);
        return std::nullopt;
    }
    selected_ = std::move(*set);
    return UnitPanels{resourceSummaryText(name, selected_), std::move(*information)};
}

std::string KeldraSession::extensionStatusText() const
{
    return ShowExtendStatus(extension_, directory_);
}

std::string KeldraSession::unitDisplayName(std::uint16_t unitId) const
{
    // The unit table was checked when the image was opened, so every name can be read.
    return shell::sjisToUtf8(
        rom::decodeUnitName(rom_.bytes, directory_, unitId, table_).value_or(std::string()));
}

void KeldraSession::reportError(const std::string& message)
{
    shell_.message(message, std::string(messages::kErrorCaption), shell::Buttons::Ok,
                   shell::Icon::Warning);
}

}  // namespace transplant
