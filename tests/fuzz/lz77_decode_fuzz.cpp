// libFuzzer target: any buffer and offset decode without leaving a buffer, the declared size is
// honoured and what the input produced of it is counted, the canvas takes every decoded byte, and
// any input compresses and decodes back.

#include "rom/lz77.hpp"
#include "sprite/sheet.hpp"

#include <cstdlib>

namespace {
constexpr std::size_t kLargestCompressedInput = 600;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the offset, past the end included.
    const std::size_t offset = data[0] % 64;
    const shell::ByteSpan buffer(data + 1, size - 1);

    const rom::Lz77Decoding decoded = rom::lz77Decode(buffer, offset);
    if (decoded.produced > decoded.bytes.size() || (decoded.complete && decoded.produced != decoded.bytes.size()))
        std::abort();
    const int height = sprite::canvasHeightOfStream(buffer, offset);
    if (decoded.bytes.size() * 2 > static_cast<std::size_t>(height) * sprite::kSheetWidth)
        std::abort();
    const sprite::SheetCanvas canvas = sprite::drawSheet(height, decoded.bytes, sprite::Palette{});
    if (canvas.indices.size() != static_cast<std::size_t>(height) * sprite::kSheetWidth)
        std::abort();

    // Small inputs only: the exact compressor is slow under the sanitizers, the decoder is not.
    if (buffer.size() > kLargestCompressedInput)
        return 0;
    for (const rom::Lz77Target target : {rom::Lz77Target::Vram, rom::Lz77Target::Wram}) {
        const shell::Bytes stream = rom::lz77Compress(buffer, target);
        const rom::Lz77Decoding back = rom::lz77Decode(stream, 0);
        if (!back.complete || back.produced != buffer.size() || !std::equal(back.bytes.begin(), back.bytes.end(), buffer.begin(), buffer.end()))
            std::abort();
    }
    return 0;
}
