#pragma once
// The sprite viewer's state and commands: a sprite sheet and a palette, taken either from a ROM
// image at hexadecimal addresses or from a sprite data file and a palette file. The window and the
// command line drive the same session; it speaks to the user through the Shell.

#include "shell/bytes.hpp"
#include "shell/shell.hpp"
#include "rom/lz77.hpp"
#include "sprite/sheet.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace sprite {

// Shown, captioned "エラー", when a ROM address leaves nothing to show.
inline constexpr std::string_view kErrorCaption = "エラー";
inline constexpr std::string_view kSpriteAddressOutsideRom = "スプライトのアドレスがROMの範囲外です";
inline constexpr std::string_view kPaletteAddressOutsideRom = "パレットのアドレスがROMの範囲外です";

// Of the sheet on the canvas: the bytes its stream declares, and how many of them, at the end, the
// input did not hold (a cut file, or a stream that runs off the image). Those are drawn as index 0.
struct SheetShortfall {
    std::size_t declared = 0;
    std::size_t missing = 0;
};

// What a decoding of a sheet's stream lacks of its declared bytes.
SheetShortfall shortfallOf(const rom::Lz77Decoding& decoded);
// Said on the command line when the drawn sheet lacks bytes its stream declares.
std::string shortfallWarning(const SheetShortfall& shortfall);

enum class SpriteFileLoad { Shown, Unreadable, NotSpriteData };

class VistrelSession {
public:
    explicit VistrelSession(shell::Shell& shell);

    // Makes the colours of a sheet without palette repeatable.
    void seedRandomColours(std::uint32_t seed) { random_.seed(seed); }

    // Button 1001 "スプライト" and the start-up path: the path becomes the sprite file path and the
    // sheet is shown when the file reads and starts with the stream type; otherwise nothing more
    // happens (an unreadable file has shown the file failure message).
    SpriteFileLoad openSpriteFile(const std::filesystem::path& path);
    // Button 1003 "パレット": the path becomes the palette file path, the palette is loaded, and the
    // sprite is loaded again from its path.
    void openPaletteFile(const std::filesystem::path& path);
    // Button 1007 "GBA": frees the image, then reads the one at `path`, the open dialog's answer
    // (nothing when it was cancelled), and shows the sheet at the sprite address. Returns whether
    // an image is loaded.
    bool replaceRom(const std::optional<std::filesystem::path>& path);
    // A file dropped on the ROM path field: read without dialog; a failed read keeps the image.
    bool openRomFile(const std::filesystem::path& path);
    // An image its caller has read from `path`, shown as a read file is.
    void openRomImage(shell::Bytes image, const std::filesystem::path& path);
    // The address dialogs' results.
    void setSpriteAddress(std::uint32_t address);
    // Returns false when a loaded image holds no palette at the address (the palette is kept).
    bool setPaletteAddress(std::uint32_t address);
    // Which 32-byte palette of a palette file or a palette group is used (0, the first, unless
    // set): the palette at the address or file start plus 32 bytes a bank. Applies from the next
    // palette file load or palette address.
    void setPaletteBank(std::size_t bank) { paletteBank_ = bank; }
    // F5: the palette file, then the sprite file, loaded again where their paths are set.
    void reloadFiles();

    const std::optional<SheetCanvas>& canvas() const { return canvas_; }
    const SheetShortfall& shortfall() const { return shortfall_; }
    const std::filesystem::path& spritePath() const { return spritePath_; }
    const std::filesystem::path& palettePath() const { return palettePath_; }
    const std::filesystem::path& romPath() const { return romPath_; }
    bool romLoaded() const { return romLoaded_; }
    std::uint32_t spriteAddress() const { return spriteAddress_; }
    std::uint32_t paletteAddress() const { return paletteAddress_; }
    bool paletteSet() const { return paletteSet_; }
    const Palette& palette() const { return palette_; }

private:
    SpriteFileLoad loadSpriteFile();
    bool loadPaletteFile();
    void showRomStream();
    // Replaces the canvas with the decoded sheet, in new random colours while no palette is set.
    void showDecoded(int height, const rom::Lz77Decoding& decoded);

    shell::Shell& shell_;
    std::filesystem::path spritePath_;
    std::filesystem::path palettePath_;
    std::filesystem::path romPath_;
    shell::Bytes rom_;
    bool romLoaded_ = false;
    std::uint32_t spriteAddress_ = 0;
    std::uint32_t paletteAddress_ = 0;
    Palette palette_{};
    std::size_t paletteBank_ = 0;
    bool paletteSet_ = false;
    std::optional<SheetCanvas> canvas_;
    SheetShortfall shortfall_;
    std::mt19937 random_;
};

}  // namespace sprite
