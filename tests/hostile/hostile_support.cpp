#include "tests/hostile/hostile_support.hpp"

#include "editor/morvane_cli.hpp"
#include "sound/sonnary_cli.hpp"
#include "sprite/tessivo_cli.hpp"
#include "sprite/vistrel_cli.hpp"
#include "tests/doubles/scratch_folder.hpp"
#include "tests/sound/fake_sound_output.hpp"
#include "transplant/keldra_cli.hpp"

#include <sstream>
#include <stdexcept>

namespace hostile {
namespace {

template <class Run>
CommandRun capture(Run run)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(out, err);
    return {status, out.str(), err.str()};
}

}  // namespace

CommandRun runKeldra(const Arguments& arguments)
{
    return capture([&](std::ostream& out, std::ostream& err) {
        return transplant::runKeldraCommand(arguments, out, err);
    });
}

CommandRun runMorvane(const Arguments& arguments)
{
    return capture([&](std::ostream& out, std::ostream& err) {
        return editor::runMorvaneCommand(arguments, out, err);
    });
}

CommandRun runVistrel(const Arguments& arguments)
{
    const sprite::PngEncoder encoder = [](const sprite::SheetCanvas&, const sprite::PngOptions&) {
        return std::optional<shell::Bytes>(shell::Bytes(64, 0x89));
    };
    return capture([&](std::ostream& out, std::ostream& err) {
        return sprite::runVistrelCommand(arguments, out, err, encoder);
    });
}

CommandRun runTessivo(const Arguments& arguments)
{
    return capture([&](std::ostream& out, std::ostream& err) {
        return sprite::runTessivoCommand(arguments, out, err);
    });
}

CommandRun runSonnary(const Arguments& arguments)
{
    sound_testing::FakeSoundOutput output;
    return capture([&](std::ostream& out, std::ostream& err) {
        return sound::runSonnaryCommand(arguments, out, err, output);
    });
}

#ifndef _WIN32
FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    if (::getrlimit(RLIMIT_FSIZE, &previous_) != 0)
        throw std::runtime_error("getrlimit failed");
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0)
        throw std::runtime_error("setrlimit failed");
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}
#endif

std::map<std::string, shell::Bytes> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, shell::Bytes> files;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            const std::u8string relative = entry.path().lexically_relative(folder).u8string();
            files.emplace(std::string(relative.begin(), relative.end()), bytesOf(entry.path()));
        }
    }
    return files;
}

std::vector<std::string> temporaryFiles(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& [name, bytes] : snapshot(folder)) {
        if (name.find(".tmp") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

shell::Bytes bytesOf(const std::filesystem::path& path)
{
    return testing_doubles::readFileBytes<shell::Bytes>(path);
}

shell::Bytes textBytes(std::string_view text)
{
    return shell::Bytes(text.begin(), text.end());
}

}  // namespace hostile
