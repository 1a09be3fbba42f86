#include "editor/morvane_session.hpp"

#include "editor/id_report.hpp"
#include "editor/port.hpp"
#include "editor/unit_reader.hpp"
#include "shell/files.hpp"
#include "shell/number_text.hpp"
#include "shell/text_encoding.hpp"

namespace editor {
namespace {

constexpr std::string_view kErrorText = "エラー";
constexpr std::string_view kErrorCaption = "エラー";
constexpr std::string_view kCancelled = "キャンセル";
constexpr std::string_view kRomSaved = "ＧＢＡ保存しました";
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string unitSummaryText(const std::string& name, const UnitIdSet& ids)
{
    const std::pair<std::string_view, std::uint8_t> counts[] = {
        {"bNumUnit", ids.unit.count},
        {"bNumIcon", ids.icon.count},
        {"bNumFixedWeapon", ids.fixedWeapon.count},
        {"bNumBGMap", ids.bgMap.count},
        {"bNumSprite", ids.sprite.count},
        {"bNumPallet", ids.pallet.count},
        {"bNumMotionPart", ids.motionPart.count},
        {"bNumShadowEtc", ids.shadowEtc.count},
        {"bNumCutinScroll", ids.cutinScroll.count},
    };
    std::string text = name;
    text += kLineEnd;
    for (const auto& [label, count] : counts) {
        text += label;
        text += ':';
        text += std::to_string(count);
        text += kLineEnd;
    }
    return text;
}

MorvaneSession::MorvaneSession(shell::Shell& shell, std::filesystem::path characterTablePath)
    : shell_(shell), tablePath_(std::move(characterTablePath))
{
}

bool MorvaneSession::OpenRom(const std::optional<std::filesystem::path>& path)
{
    if (!path)
        shell_.message(kCancelled, std::string(), shell::Buttons::Ok, shell::Icon::None);
    std::optional<shell::Bytes> bytes;
    if (path)
        bytes = shell::readWholeFile(shell_, *path);
    if (!bytes) {
        showError(std::string(kErrorText));
        return false;
    }
    auto offsets = ReadRomTableOffsets(*bytes);
    if (!offsets) {
        showError(offsets.error().message);
        return false;
    }
    rom_ = rom::RomImage{std::move(*bytes), true};
    offsets_ = *offsets;
    selected_ = false;
    romSide_ = UnitDataSet();
    romIds_ = UnitIdSet();
    return true;
}

std::string unitListLine(std::uint16_t unitId, std::string_view name)
{
    return shell::paddedHexText(unitId, kUnitNumberDigits) + ":" + std::string(name);
}

std::vector<std::string> MorvaneSession::unitListLines()
{
    const std::vector<std::string> names = unitNames();
    std::vector<std::string> lines;
    for (std::size_t unit = 0; unit < names.size(); ++unit)
        lines.push_back(unitListLine(static_cast<std::uint16_t>(unit), names[unit]));
    return lines;
}

std::vector<std::string> MorvaneSession::unitNames()
{
    std::vector<std::string> names;
    if (!rom_.loaded)
        return names;
    const rom::CharacterTable table = loadTable();
    for (std::uint16_t unit = 0; unit < rom::kUnitCount; ++unit) {
        // The unit table was checked when the image was opened.
        auto record = rom::readRecord<rom::UnitDataRecord>(rom_.bytes, offsets_.directory, unit);
        names.push_back(record ? shell::sjisToUtf8(decodeEditorName(record->bUnitName, table))
                               : std::string());
    }
    return names;
}

std::optional<std::string> MorvaneSession::SelectUnit(std::uint16_t unitId)
{
    if (!rom_.loaded || unitId >= rom::kUnitCount)
        return std::nullopt;
    romIds_ = UnitIdSet();
    romSide_ = UnitDataSet();
    selected_ = false;
    auto set = ReadUnitFromRom(rom_.bytes, offsets_, unitId);
    if (!set) {
        showError(set.error().message);
        return std::nullopt;
    }
    romSide_ = std::move(*set);
    romIds_ = CollectUnitIds(romSide_);
    selected_ = true;
    return summaryText(romSide_, romIds_);
}

std::optional<SavedUnitFolder> MorvaneSession::SaveUnitFolder(
    const std::filesystem::path& baseFolder, std::string_view folderName,
    const std::function<void(const SavedUnitFolder&)>& showSaved)
{
    if (!selected_)
        return std::nullopt;
    const rom::CharacterTable table = loadTable();
    std::optional<SavedUnitFolder> saved =
        editor::SaveUnitFolder(shell_, romSide_, table, baseFolder, folderName);
    if (!saved)
        return std::nullopt;
    if (showSaved)
        showSaved(*saved);
    shell_.message(savedFolderMessage(*saved), std::string(), shell::Buttons::Ok, shell::Icon::None);
    return saved;
}

std::optional<std::string> MorvaneSession::LoadUnitFolder(
    const std::optional<std::filesystem::path>& unitAllPath)
{
    if (!unitAllPath) {
        shell_.message(kCancelled, std::nullopt, shell::Buttons::Ok, shell::Icon::None);
        return std::nullopt;
    }
    if (!editor::LoadUnitFolder(shell_, unitAllPathOf(*unitAllPath), fileSide_))
        return std::nullopt;
    fileIds_ = CollectUnitIds(fileSide_);
    return summaryText(fileSide_, fileIds_);
}

bool MorvaneSession::PortUnit()
{
    if (!rom_.loaded)
        return false;
    return editor::PortUnit(shell_, rom_.bytes, offsets_, fileSide_, fileIds_, romIds_);
}

bool MorvaneSession::SaveRom(const std::filesystem::path& path)
{
    if (!rom_.loaded)
        return false;
    if (!shell::writeWholeFile(shell_, path, rom_.bytes))
        return false;
    shell_.message(kRomSaved, std::nullopt, shell::Buttons::Ok, shell::Icon::None);
    return true;
}

std::string MorvaneSession::romSideReport()
{
    if (!selected_)
        return {};
    return shell::sjisToUtf8(BuildIdReport(romSide_, loadTable()));
}

rom::CharacterTable MorvaneSession::loadTable()
{
    return rom::characterTableFrom(shell::readWholeFile(shell_, tablePath_));
}

std::string MorvaneSession::summaryText(const UnitDataSet& set, const UnitIdSet& ids)
{
    const std::string name = shell::sjisToUtf8(decodeEditorName(set.unit.bUnitName, loadTable()));
    return unitSummaryText(name, ids);
}

void MorvaneSession::showError(const std::string& text)
{
    shell_.message(text, std::string(kErrorCaption), shell::Buttons::Ok, shell::Icon::None);
}

}  // namespace editor
