#pragma once
// The sprite compressor's state and commands: the current bitmap, loaded through the open dialog
// with its tests, and the two files made from it through the save dialog. The window and the
// command line drive the same session.

#include "shell/shell.hpp"
#include "sprite/bitmap.hpp"

#include <filesystem>
#include <optional>
#include <string_view>

namespace sprite {

inline constexpr std::string_view kSpriteReportCaption = "スプライトの作成";
inline constexpr std::string_view kPaletteReportCaption = "パレットの作成";
inline constexpr std::string_view kSaved = "ファイルの保存に成功しました";
inline constexpr std::string_view kCancelled = "キャンセルされました";

class TessivoSession {
public:
    explicit TessivoSession(shell::Shell& shell);

    // "Bmp読込": asks for a bitmap (a Windows bitmap or a palette-mode PNG) and tests it. A
    // refused, unreadable or cancelled load keeps the current bitmap whole. Returns whether a new
    // bitmap was loaded.
    bool loadBitmap();
    // "Sprite作成" and "Pallet作成": save through the dialog and report the save, or the cancel.
    // A file that cannot be written shows the file failure alone. Return whether saved.
    bool makeSpriteFile(SpriteEncoding encoding = SpriteEncoding::Literals);
    bool makePaletteFile();
    // Both files at once (the command line's convert with both outputs): asks for both paths, then
    // writes both or neither, so a failure never leaves a new sprite file beside an old palette.
    // Reports as the two buttons do. Returns whether both were saved.
    bool makeSpriteAndPaletteFiles(SpriteEncoding encoding = SpriteEncoding::Literals);

    const std::optional<Bitmap>& bitmap() const { return bitmap_; }
    const std::filesystem::path& bitmapPath() const { return bitmapPath_; }

private:
    bool save(shell::ByteSpan bytes, std::string_view filterName, std::string_view caption);
    void report(bool saved, std::string_view caption);

    shell::Shell& shell_;
    std::optional<Bitmap> bitmap_;
    std::filesystem::path bitmapPath_;
};

}  // namespace sprite
