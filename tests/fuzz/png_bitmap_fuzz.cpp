// libFuzzer target: any file either is refused with one of the messages or yields a palette-mode
// bitmap of whole 256-pixel rows whose sprite and palette files are made without leaving a
// buffer. Each input is tried twice: as it is, and with every chunk's checksum made right, so
// that mutations reach past the checksum test into the header and the image data.

#include "sprite/png_file.hpp"
#include "tests/fuzz/fuzz_support.hpp"

#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kSignatureBytes = 8;
    constexpr std::size_t kLengthBytes = 4;
    constexpr std::size_t kTypeBytes = 4;
    constexpr std::size_t kCrcBytes = 4;

    shell::Bytes repaired(data, data + size);
    for (std::size_t at = kSignatureBytes;
         at <= repaired.size() && repaired.size() - at >= kLengthBytes + kTypeBytes + kCrcBytes;) {
        const std::uint8_t* chunk = repaired.data() + at;
        const std::size_t length = static_cast<std::size_t>(chunk[0]) << 24 | chunk[1] << 16 | chunk[2] << 8 | chunk[3];
        if (length > repaired.size() - at - kLengthBytes - kTypeBytes - kCrcBytes)
            break;
        const std::uint8_t* typeAndData = chunk + kLengthBytes;
        const auto crc = static_cast<std::uint32_t>(crc32(0, typeAndData, static_cast<uInt>(kTypeBytes + length)));
        std::uint8_t* crcAt = repaired.data() + at + kLengthBytes + kTypeBytes + length;
        for (std::size_t i = 0; i < kCrcBytes; ++i)
            crcAt[i] = static_cast<std::uint8_t>(crc >> (8 * (kCrcBytes - 1 - i)));
        at += kLengthBytes + kTypeBytes + length + kCrcBytes;
    }

    for (const shell::ByteSpan file : {shell::ByteSpan(data, size), shell::ByteSpan(repaired)}) {
        const sprite::BitmapReading reading = sprite::readPngBitmap(file);
        require(reading.bitmap.has_value() == reading.refusal.empty());
        if (!reading.bitmap)
            continue;
        const sprite::Bitmap& bitmap = *reading.bitmap;
        require(bitmap.height() > 0 && bitmap.height() % 2 == 0 && bitmap.height() <= sprite::kTallestBitmap);
        require(bitmap.topDownPixels.size() == static_cast<std::size_t>(bitmap.height()) * sprite::kBitmapWidth);
        const std::size_t tileRows =
            (static_cast<std::size_t>(bitmap.height()) + sprite::kTileSize - 1) / sprite::kTileSize;
        require(sprite::spriteFileOf(bitmap).size() ==
                rom::kLz77HeaderSize + tileRows * sprite::kTileRowBytes / 8 * 9);
        require(sprite::paletteFileOf(bitmap).size() == sprite::kPaletteBytes);
    }
    return 0;
}
