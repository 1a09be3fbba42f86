#pragma once
// PNG files of the sprite tools, made and read through libpng: a drawn sheet written as a colour
// or a palette-mode image, and a palette-mode image read as the compressor's input.

#include "shell/bytes.hpp"
#include "sprite/bitmap.hpp"
#include "sprite/sheet.hpp"

#include <optional>
#include <string_view>

namespace sprite {

// The refusals of a PNG file beyond those it shares with the bitmap reader.
inline constexpr std::string_view kNotPalettePng = "パレット形式のPNGではありません";
inline constexpr std::string_view kDamagedPng = "PNGファイルが壊れています";

enum class PngKind {
    Colour,   // 24-bit colour; pixels the sheet does not reach are black
    Indexed,  // a 16-colour palette image that keeps the pixel indices; unreached pixels are 0
};

struct PngOptions {
    PngKind kind = PngKind::Colour;
    // Index 0, which the game draws as transparent, is written fully transparent; so are the
    // pixels the sheet does not reach.
    bool transparentIndexZero = false;
};

// The PNG file of a drawn sheet, or nothing when the canvas has no rows or the made file does not
// read back as the canvas.
std::optional<shell::Bytes> encodeSheetPng(const SheetCanvas& canvas, const PngOptions& options);

// Whether the file starts with PNG's signature.
bool isPngFile(ByteSpan file);

// Reads a palette-mode PNG 256 pixels wide (bit depth 1, 2, 4 or 8, interlaced or not) as the
// compressor's input, with the bitmap reader's checks where they apply; the refusal otherwise.
// Any damage, a bad checksum included, refuses the whole file.
BitmapReading readPngBitmap(ByteSpan file);

}  // namespace sprite
