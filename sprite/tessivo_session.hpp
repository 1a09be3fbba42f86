#pragma once
// The sprite compressor's state and commands: the current bitmap, loaded with its tests, and the
// two files made from it. The window and the command line drive the same session: the window
// passes on what its dialogs answered, the command line its arguments.

#include "shell/shell.hpp"
#include "sprite/bitmap.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sprite {

inline constexpr std::string_view kSpriteReportCaption = "スプライトの作成";
inline constexpr std::string_view kPaletteReportCaption = "パレットの作成";
inline constexpr std::string_view kSaved = "ファイルの保存に成功しました";
inline constexpr std::string_view kCancelled = "キャンセルされました";

// The dialogs' filters: the open dialog of "Bmp読込", the save dialogs of the two files.
std::string bitmapOpenFilter();
std::string spriteSaveFilter();
std::string paletteSaveFilter();

// Where a file is saved; nothing when the user cancelled the save dialog.
using SaveTarget = std::optional<std::filesystem::path>;

class TessivoSession {
public:
    explicit TessivoSession(shell::Shell& shell);

    // "Bmp読込": reads the bitmap at `path` (a Windows bitmap or a palette-mode PNG) and tests it.
    // A refused or unreadable file keeps the current bitmap whole. Returns whether a new bitmap was
    // loaded.
    bool loadBitmap(const std::filesystem::path& path);
    // "Sprite作成" and "Pallet作成": save to `target` and report the save, or the cancel. A file
    // that cannot be written shows the file failure alone. Return whether saved.
    bool makeSpriteFile(const SaveTarget& target, SpriteEncoding encoding = SpriteEncoding::Literals);
    bool makePaletteFile(const SaveTarget& target);
    // Both files at once (the command line's convert with both outputs): writes both or neither,
    // so a failure never leaves a new sprite file beside an old palette. Reports as the two buttons
    // do. Returns whether both were saved.
    bool makeSpriteAndPaletteFiles(const std::filesystem::path& spritePath,
                                   const std::filesystem::path& palettePath,
                                   SpriteEncoding encoding = SpriteEncoding::Literals);

    const std::optional<Bitmap>& bitmap() const { return bitmap_; }
    const std::filesystem::path& bitmapPath() const { return bitmapPath_; }

private:
    bool save(const SaveTarget& target, shell::ByteSpan bytes, std::string_view caption);
    void report(bool saved, std::string_view caption);

    shell::Shell& shell_;
    std::optional<Bitmap> bitmap_;
    std::filesystem::path bitmapPath_;
};

}  // namespace sprite
