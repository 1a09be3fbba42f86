// libFuzzer target: any file either is refused with one of the messages or yields a bitmap whose
// sprite file, palette file and preview are made without leaving a buffer.

#include "sprite/bitmap.hpp"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const sprite::BitmapReading reading = sprite::readBitmap(shell::ByteSpan(data, size));
    if (reading.bitmap.has_value() == !reading.refusal.empty())
        std::abort();
    if (!reading.bitmap)
        return 0;
    const sprite::Bitmap* bitmap = &*reading.bitmap;
    if (bitmap->topDownPixels.size() != static_cast<std::size_t>(bitmap->height()) * sprite::kBitmapWidth)
        std::abort();
    // Whole tile rows of literal groups: every row of the bitmap is in the file.
    const std::size_t tileRows = (static_cast<std::size_t>(bitmap->height()) + sprite::kTileSize - 1) / sprite::kTileSize;
    const shell::Bytes sprite = sprite::spriteFileOf(*bitmap);
    if (sprite.size() != rom::kLz77HeaderSize + tileRows * sprite::kTileRowBytes / 8 * 9)
        std::abort();
    const sprite::WideIndexPixels wide = sprite::wideIndexPixels(*bitmap);
    if (wide.count > bitmap->topDownPixels.size() || (wide.count == 0) != wide.indexes.empty())
        std::abort();
    if (sprite::paletteFileOf(*bitmap).size() != sprite::kPaletteBytes)
        std::abort();
    std::vector<std::uint32_t> preview(sprite::kPreviewSize * sprite::kPreviewSize);
    sprite::drawPreview(*bitmap, preview);
    return 0;
}
