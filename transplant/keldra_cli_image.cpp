#include "transplant/keldra_cli_image.hpp"

#include "rom/game_text.hpp"
#include "shell/files.hpp"
#include "shell/program_folder.hpp"
#include "transplant/unit_texts.hpp"

#include <ostream>

namespace transplant::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRomName = "ROM";
constexpr std::string_view kRomInfoName = "ROM's .ExtInfo";
constexpr std::string_view kInfoExtension = ".ExtInfo";
constexpr std::string_view kInfoFoundLead = "Keldra: extension info: ";

// ROM's .ExtInfo when that file exists; nothing when ROM itself has that extension.
std::optional<fs::path> romExtensionInfo(const shell::CommandCall& call)
{
    const fs::path rom = call.pathArgument(0);
    fs::path info = extensionInfoPathOf(rom);
    std::error_code error;
    if (!fs::is_regular_file(info, error) || shell::sameFile(info, rom))
        return std::nullopt;
    return info;
}

}  // namespace

int runOnImage(shell::CommandCall& call, const CommandFiles& files,
               const std::function<int(ImageRun&)>& command)
{
    const fs::path rom = call.pathArgument(0);
    const fs::path table = call.pathOption(kTable).value_or(rom::characterTablePathIn(shell::programFolder()));
    std::vector<shell::NamedPath> inputs{{kTable, table}};
    inputs.insert(inputs.end(), files.inputs.begin(), files.inputs.end());
    if (auto collision = shell::outputCollision(files.outputs, inputs))
        call.usageError(*collision);
    if (!files.outputs.empty()) {
        const shell::NamedPath romInput[] = {{kRomName, rom}};
        if (auto collision =
                shell::outputCollision(std::span(files.outputs).subspan(1), romInput))
            call.usageError(*collision);
    }

    shell::CommandLineShell shell(call.err);
    KeldraSession session(shell, rom::characterTableFrom(shell::readWholeFile(shell, table)));
    if (!session.OpenRom(rom))
        return shell::kExitFailed;
    ImageRun run{call, shell, session};
    return command(run);
}

std::optional<std::uint16_t> unitNumber(const shell::CommandCall& call, std::string_view text,
                                        std::string_view name)
{
    const std::optional<std::uint32_t> unit =
        call.numberBelow(text, name, rom::kUnitCount, kUnitNumberName, kUnitIdDigits);
    if (!unit)
        return std::nullopt;
    return static_cast<std::uint16_t>(*unit);
}

fs::path extensionInfoPathOf(const fs::path& path)
{
    return fs::path(path).replace_extension(kInfoExtension);
}

std::vector<shell::NamedPath> extensionInfoInputs(const shell::CommandCall& call, bool pairInPlace)
{
    std::vector<shell::NamedPath> inputs;
    const std::optional<fs::path> romInfo = romExtensionInfo(call);
    if (const std::optional<fs::path> given = call.pathOption(kExtInfo)) {
        if (!(pairInPlace && romInfo && shell::sameFile(*given, *romInfo)))
            inputs.push_back({kExtInfo, *given});
    }
    if (romInfo && !pairInPlace)
        inputs.push_back({kRomInfoName, *romInfo});
    return inputs;
}

bool loadExtensionInfo(ImageRun& run)
{
    if (const std::optional<fs::path> given = run.call.pathOption(kExtInfo))
        return run.session.LoadExtendInfo(*given);
    const std::optional<fs::path> romInfo = romExtensionInfo(run.call);
    if (!romInfo)
        return true;
    run.call.err << kInfoFoundLead << shell::pathText(*romInfo) << '\n';
    return run.session.LoadExtendInfo(*romInfo);
}

}  // namespace transplant::cli
