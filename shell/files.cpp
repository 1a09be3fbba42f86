#include "shell/files.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace shell {
namespace {

// Reads the whole file or nothing: a file that changes size while being read is a failure.
std::optional<Bytes> readFileBytes(const std::filesystem::path& path, std::size_t room)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::nullopt;
    in.seekg(0, std::ios::beg);
    Bytes bytes;
    bytes.reserve(std::max(static_cast<std::size_t>(size), room));
    bytes.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    return bytes;
}

std::filesystem::path temporarySibling(const std::filesystem::path& path)
{
    // One generator per thread, seeded once: a fresh random_device per file costs more than the
    // write of a small file.
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name = path.filename().string();
    name += ".tmp";
    name += std::to_string(random());
    return path.parent_path() / name;
}

std::FILE* openForWriting(const std::filesystem::path& path)
{
#ifdef _WIN32
    return ::_wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

bool flushToDisk(std::FILE* file, Durability durability)
{
    if (std::fflush(file) != 0)
        return false;
    if (durability == Durability::Replace)
        return true;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

bool writeFileBytesAtomically(const std::filesystem::path& path, ByteSpan bytes,
                              Durability durability)
{
    const std::filesystem::path temporary = temporarySibling(path);
    std::FILE* file = openForWriting(temporary);
    if (file == nullptr)
        return false;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = flushToDisk(file, durability) && written;
    written = (std::fclose(file) == 0) && written;
    std::error_code error;
    if (written)
        std::filesystem::rename(temporary, path, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace

void showFileFailure(Shell& shell)
{
    shell.message(kFileOpenFailed, std::string(), Buttons::Ok, Icon::Warning);
}

std::optional<Bytes> readWholeFile(Shell& shell, const std::filesystem::path& path,
                                   std::size_t room)
{
    std::optional<Bytes> bytes = readFileBytes(path, room);
    if (!bytes)
        showFileFailure(shell);
    return bytes;
}

bool writeWholeFile(Shell& shell, const std::filesystem::path& path, ByteSpan bytes,
                    Durability durability)
{
    if (path.empty() || !writeFileBytesAtomically(path, bytes, durability)) {
        showFileFailure(shell);
        return false;
    }
    return true;
}

std::optional<OpenedFile> openAndReadFile(Shell& shell, std::string_view filter, std::size_t room)
{
    const std::optional<std::filesystem::path> path = askOpenPath(shell, filter);
    if (!path)
        return std::nullopt;
    std::optional<Bytes> bytes = readWholeFile(shell, *path, room);
    if (!bytes)
        return std::nullopt;
    return OpenedFile{*path, std::move(*bytes)};
}

std::optional<std::filesystem::path> askOpenPath(Shell& shell, std::string_view filter)
{
    return shell.askOpenPath(filter, kOpenDialogTitle);
}

bool saveWithDialog(Shell& shell, std::string_view filter, ByteSpan bytes)
{
    const std::optional<std::filesystem::path> path = shell.askSavePath(filter, kSaveDialogTitle);
    if (!path)
        return false;
    return writeWholeFile(shell, *path, bytes);
}

Answer showMessage(Shell& shell, std::string_view text, const Caption& caption, Buttons buttons,
                   Icon icon)
{
    return shell.message(text, caption, buttons, icon);
}

}  // namespace shell
