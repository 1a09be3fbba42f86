#pragma once
// Shared pieces of the hostile-input tests: running each tool's command line in-process, a file
// size limit that stands in for a full disk, and looks at what a command left on disk.

#include "shell/bytes.hpp"

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace hostile {

struct CommandRun {
    int status = 0;
    std::string out;
    std::string err;
};

using Arguments = std::vector<std::string>;

CommandRun runKeldra(const Arguments& arguments);
CommandRun runMorvane(const Arguments& arguments);
// The PNG encoder is replaced by a fixed small file: these tests are about reading and writing.
CommandRun runVistrel(const Arguments& arguments);
CommandRun runTessivo(const Arguments& arguments);
CommandRun runSonnary(const Arguments& arguments);

#ifndef _WIN32  // Windows has no limit on the size of a process's files
// While alive, no file of this process may grow beyond `bytes`: writes past it fail with EFBIG
// as on a full disk (SIGXFSZ is ignored meanwhile). Works for root too, unlike read-only modes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};
#endif

// Every regular file below `folder`, by path relative to it, with its bytes.
std::map<std::string, shell::Bytes> snapshot(const std::filesystem::path& folder);

// The files below `folder` whose names mark them as temporary files of an interrupted write.
std::vector<std::string> temporaryFiles(const std::filesystem::path& folder);

shell::Bytes bytesOf(const std::filesystem::path& path);
shell::Bytes textBytes(std::string_view text);

}  // namespace hostile
