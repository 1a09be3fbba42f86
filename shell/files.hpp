#pragma once
// Whole-file reading and writing with the shared dialogs and the one file failure message.
// Every routine reports its own failure to the user through the Shell and returns an empty result,
// so callers only decide whether to go on.

#include "shell/bytes.hpp"
#include "shell/shell.hpp"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace shell {

inline constexpr std::string_view kOpenDialogTitle = "ファイルを開く";
inline constexpr std::string_view kSaveDialogTitle = "ファイルの保存";

// How files come into memory. A copy is a snapshot: what another program later does to the file
// does not reach it, which a window that holds an image for hours needs. A mapping shares the
// file's pages until they are written, which spares zeroing and copying a whole image; it suits a
// command-line run, which reads its inputs once within moments and writes its outputs elsewhere
// (a file cut short under it by another program then ends the run, see tool_start).
enum class FileReading { Copy, Mapped };
void setFileReading(FileReading reading);

// `room`: the capacity to give the buffer, for data that will grow in place (an image that gains
// appended blocks). Large buffers are reserved as address space only, so unused room costs nothing.
std::optional<Bytes> readWholeFile(Shell& shell, const std::filesystem::path& path,
                                   std::size_t room = 0);

// How far a write goes before it counts as done. Both write a temporary file beside the target and
// rename it into place, so a failure (full disk, crash) never leaves a truncated file where a good
// one was.
enum class Durability {
    // The data reaches the disk before the rename: for files that hold the user's work (images,
    // settings), which must survive a power cut.
    SyncToDisk,
    // No wait for the disk: for files that can be made again from their source (an extracted
    // unit's hundred small files), where a flush per file would cost seconds.
    Replace,
};

bool writeWholeFile(Shell& shell, const std::filesystem::path& path, ByteSpan bytes,
                    Durability durability = Durability::SyncToDisk);

struct FileToWrite {
    std::filesystem::path path;
    ByteSpan bytes;
};

// Writes every file or none, for outputs that only make sense together. Each file goes to a
// temporary file beside its target first; only when all of them are written are they renamed into
// place, and when a rename fails the targets already replaced get their old files back (or are
// removed when they did not exist). A failure is reported once.
bool writeWholeFiles(Shell& shell, std::span<const FileToWrite> files,
                     Durability durability = Durability::SyncToDisk);

// A file of a folder that is written whole: its name in the folder (UTF-8) and its bytes.
struct FolderFile {
    std::string name;
    Bytes bytes;
};

// A folder of files that belong together (an extracted unit, a unit folder, exported samples),
// written all or nothing as writeWholeFiles does: `folder` is created first when it is missing, and
// removed again, with every folder created for it, when the files cannot all be written. Files
// already in the folder that are not among `files` stay as they are.
bool writeFolderFiles(Shell& shell, const std::filesystem::path& folder,
                      std::span<const FolderFile> files,
                      Durability durability = Durability::Replace);

// The open dialog with its title; the path chosen, or nothing when the user cancelled.
std::optional<std::filesystem::path> askOpenPath(Shell& shell, std::string_view filter);

Answer showMessage(Shell& shell, std::string_view text, const Caption& caption = std::nullopt,
                   Buttons buttons = Buttons::Ok, Icon icon = Icon::None);

void showFileFailure(Shell& shell, const std::filesystem::path& path);

}  // namespace shell
