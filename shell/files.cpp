#include "shell/files.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace shell {
namespace {

FileReading fileReading = FileReading::Copy;

// Reads the whole file or nothing: a file that changes size while being read is a failure.
std::optional<Bytes> readCopiedFileBytes(const std::filesystem::path& path, std::size_t room)
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
    // The read fills every byte: storage that is not zeroed first saves a pass over the image.
    bytes.insert(bytes.end(), UninitialisedRun(0), UninitialisedRun(static_cast<std::size_t>(size)));
    // A file cut short while being read ends the read early; one that grew has bytes left after it.
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    if (in.peek() != std::ifstream::traits_type::eof())
        return std::nullopt;
    return bytes;
}

#ifndef _WIN32
// The whole file mapped, where the buffer's allocator can lay it (a large file); any other file is
// copied.
std::optional<Bytes> readMappedFileBytes(const std::filesystem::path& path, std::size_t room)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    const struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } closer{descriptor};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    FileToMap file{descriptor, static_cast<std::size_t>(status.st_size)};
    Bytes bytes;
    offerFileToMap(&file);
    try {
        bytes.reserve(std::max(file.size, room));
    } catch (...) {
        offerFileToMap(nullptr);
        throw;
    }
    offerFileToMap(nullptr);
    if (!file.mapped)
        return readCopiedFileBytes(path, room);
    bytes.insert(bytes.end(), UninitialisedRun(0), UninitialisedRun(file.size));
    return bytes;
}
#endif

std::optional<Bytes> readFileBytes(const std::filesystem::path& path, std::size_t room)
{
#ifndef _WIN32
    if (fileReading == FileReading::Mapped)
        return readMappedFileBytes(path, room);
#endif
    return readCopiedFileBytes(path, room);
}

// A name may hold at most this many bytes on the file systems the tools run on.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::string_view kTemporaryMark = ".tmp";

// A fresh name beside `path`: the target's name, cut short where the whole would not fit a name,
// then ".tmp" and a random number, so that a target of any legal length gets a temporary file.
std::filesystem::path temporarySibling(const std::filesystem::path& path)
{
    // One generator per thread, seeded once: a fresh random_device per file costs more than the
    // write of a small file.
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string suffix(kTemporaryMark);
    suffix += std::to_string(random());
    const std::u8string target = path.filename().u8string();
    std::size_t kept = std::min(target.size(), kMaxNameBytes - suffix.size());
    // Never cut a UTF-8 character in two.
    while (kept > 0 && kept < target.size() && (target[kept] & 0xC0) == 0x80)
        --kept;
    std::u8string name = target.substr(0, kept);
    name.append(suffix.begin(), suffix.end());
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
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// Puts the file `from` in the place of `to` in one step, replacing the file there, if any; false
// when it could not.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
#ifdef _WIN32
    // Write-through: the new name is on the disk when the call returns, as a rename on Linux is
    // once the data before it was synced.
    constexpr DWORD kReplaceOnDisk = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExW(from.c_str(), to.c_str(), kReplaceOnDisk) != 0;
#else
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
#endif
}

// Writes `bytes` to a new temporary file beside `path`; its path, or nothing (and no file left)
// when it could not be written whole.
std::optional<std::filesystem::path> writeTemporary(const std::filesystem::path& path,
                                                    ByteSpan bytes, Durability durability)
{
    std::filesystem::path temporary = temporarySibling(path);
    std::FILE* file = openForWriting(temporary);
    if (file == nullptr)
        return std::nullopt;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = flushToDisk(file, durability) && written;
    written = (std::fclose(file) == 0) && written;
    if (!written) {
        std::error_code error;
        std::filesystem::remove(temporary, error);
        return std::nullopt;
    }
    return temporary;
}

bool writeFileBytesAtomically(const std::filesystem::path& path, ByteSpan bytes,
                              Durability durability)
{
    const std::optional<std::filesystem::path> temporary = writeTemporary(path, bytes, durability);
    if (!temporary)
        return false;
    if (!replaceFile(*temporary, path)) {
        std::error_code error;
        std::filesystem::remove(*temporary, error);
        return false;
    }
    return true;
}

// One target of an all-or-nothing write while it is being put in place.
struct StagedFile {
    std::filesystem::path target;
    std::filesystem::path temporary;
    std::optional<std::filesystem::path> previous;  // a second name of the file it replaces
    bool placed = false;
};

// Keeps the file at `target`, if any, under a second name beside it, so that it can be put back.
// A hard link keeps the file in place meanwhile; where links are not supported it is copied.
bool keepPrevious(StagedFile& staged)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(staged.target, error);
    if (!std::filesystem::exists(status))
        return true;
    if (std::filesystem::is_directory(status))
        return false;  // a folder is never replaced by a file
    std::filesystem::path previous = temporarySibling(staged.target);
    std::filesystem::create_hard_link(staged.target, previous, error);
    if (error) {
        error.clear();
        std::filesystem::copy_file(staged.target, previous, error);
        if (error) {
            std::filesystem::remove(previous, error);
            return false;
        }
    }
    staged.previous = std::move(previous);
    return true;
}

// Puts every target back as it was before the write and removes every temporary file.
void rollBack(std::vector<StagedFile>& staged)
{
    std::error_code error;
    for (auto it = staged.rbegin(); it != staged.rend(); ++it) {
        if (it->placed) {
            if (it->previous)
                replaceFile(*it->previous, it->target);
            else
                std::filesystem::remove(it->target, error);
        }
        std::filesystem::remove(it->temporary, error);
        if (it->previous)
            std::filesystem::remove(*it->previous, error);
    }
}

// Nothing when every file was written; otherwise the path of the file that could not be.
std::optional<std::filesystem::path> writeFilesAtomically(std::span<const FileToWrite> files,
                                                          Durability durability)
{
    std::vector<StagedFile> staged;
    staged.reserve(files.size());
    for (const FileToWrite& file : files) {
        std::optional<std::filesystem::path> temporary =
            file.path.empty() ? std::nullopt : writeTemporary(file.path, file.bytes, durability);
        if (!temporary) {
            rollBack(staged);
            return file.path;
        }
        staged.push_back({file.path, std::move(*temporary), std::nullopt, false});
    }
    for (StagedFile& file : staged) {
        if (!keepPrevious(file) || !replaceFile(file.temporary, file.target)) {
            rollBack(staged);
            return file.target;
        }
        file.placed = true;
    }
    std::error_code error;
    for (const StagedFile& file : staged) {
        if (file.previous)
            std::filesystem::remove(*file.previous, error);
    }
    return std::nullopt;
}

void removeCreatedFolders(const std::vector<std::filesystem::path>& created)
{
    std::error_code error;
    for (const std::filesystem::path& folder : created)
        std::filesystem::remove(folder, error);  // only an empty folder goes
}

// Creates `folder` and the folders above it that are missing; gives the ones it created, the
// deepest first, or nothing when it could not.
std::optional<std::vector<std::filesystem::path>> createFolder(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> created;
    std::error_code error;
    for (std::filesystem::path missing = folder; !missing.empty();
         missing = missing.parent_path()) {
        if (std::filesystem::exists(std::filesystem::symlink_status(missing, error)))
            break;
        created.push_back(missing);
        if (missing == missing.parent_path())
            break;
    }
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        removeCreatedFolders(created);
        return std::nullopt;
    }
    return created;
}

}  // namespace

void showFileFailure(Shell& shell, const std::filesystem::path& path)
{
    shell.fileFailure(path);
}

void setFileReading(FileReading reading)
{
    fileReading = reading;
}

std::optional<Bytes> readWholeFile(Shell& shell, const std::filesystem::path& path,
                                   std::size_t room)
{
    std::optional<Bytes> bytes = readFileBytes(path, room);
    if (!bytes)
        showFileFailure(shell, path);
    return bytes;
}

bool writeWholeFile(Shell& shell, const std::filesystem::path& path, ByteSpan bytes,
                    Durability durability)
{
    if (path.empty() || !writeFileBytesAtomically(path, bytes, durability)) {
        showFileFailure(shell, path);
        return false;
    }
    return true;
}

bool writeWholeFiles(Shell& shell, std::span<const FileToWrite> files, Durability durability)
{
    if (const std::optional<std::filesystem::path> failed = writeFilesAtomically(files, durability)) {
        showFileFailure(shell, *failed);
        return false;
    }
    return true;
}

bool writeFolderFiles(Shell& shell, const std::filesystem::path& folder,
                      std::span<const FolderFile> files, Durability durability)
{
    std::vector<FileToWrite> targets;
    targets.reserve(files.size());
    for (const FolderFile& file : files)
        targets.push_back({folder / std::u8string(file.name.begin(), file.name.end()), file.bytes});
    const std::optional<std::vector<std::filesystem::path>> created = createFolder(folder);
    if (!created) {
        showFileFailure(shell, folder);
        return false;
    }
    if (const std::optional<std::filesystem::path> failed = writeFilesAtomically(targets, durability)) {
        removeCreatedFolders(*created);
        showFileFailure(shell, *failed);
        return false;
    }
    return true;
}

std::optional<std::filesystem::path> askOpenPath(Shell& shell, std::string_view filter)
{
    return shell.askOpenPath(filter, kOpenDialogTitle);
}

Answer showMessage(Shell& shell, std::string_view text, const Caption& caption, Buttons buttons,
                   Icon icon)
{
    return shell.message(text, caption, buttons, icon);
}

}  // namespace shell
