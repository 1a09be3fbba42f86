#pragma once
// PNG files of the sprite tools, made and read through libpng: a drawn sheet written as a colour
// or a palette-mode image, and a palette-mode image read as the compressor's input.

#include "shell/bytes.hpp"
#include "sprite/bitmap.hpp"
#include "sprite/sheet.hpp"

#include <optional>

namespace sprite {

enum class PngKind {
    Colour,   // 24-bit colour; pixels the sheet does not reach are black
    Indexed,  // a 16-colour palette image that keeps the pixel indices; unreached pixels are 0
};

struct PngOptions {
    PngKind kind = PngKind::Colour;
    // Index 0, which the game draws as transparent, is written fully transparent.
    bool transparentIndexZero = false;
};

// The PNG file of a drawn sheet, or nothing when the canvas has no rows.
std::optional<shell::Bytes> encodeSheetPng(const SheetCanvas& canvas, const PngOptions& options);

// Reads a palette-mode PNG 256 pixels wide as the compressor's input, with the bitmap reader's
// checks where they apply; the refusal otherwise.
BitmapReading readPngBitmap(ByteSpan file);

}  // namespace sprite
