#pragma once
// The LZ77 stream of the console's BIOS (type 0x10): the viewer's decoder, the literal-only
// encoder of the compressor, and an exact compressor that finds the smallest stream.

#include "shell/bytes.hpp"

#include <cstddef>
#include <cstdint>

namespace sprite {

using shell::Bytes;
using shell::ByteSpan;

struct Lz77Decoding {
    // The declared size's bytes; what the stream did not reach stays zero.
    Bytes bytes;
    // How many of them, from the start, the input really produced: the buffer ended (a cut file,
    // or a stream running off the image) before the rest was read.
    std::size_t produced = 0;
    // The header and every byte the stream needed to produce the declared size lay inside the
    // buffer.
    bool complete = true;
};

// Decodes the stream whose header starts at `offset` of `buffer`. The declared size is header
// bytes 1-2 without bit 15 (at most 32 767 bytes); the type byte is not tested. Every group is read
// whole, and decoding stops after the group in which the declared size is reached. Input missing
// at the end of the buffer reads as zero bytes, and a back-reference to before the start of the
// output copies zeros: no read or write leaves its buffer.
Lz77Decoding lz77Decode(ByteSpan buffer, std::size_t offset);

// The 4-byte header: type 0x10 and the 24-bit declared size.
void appendLz77Header(Bytes& stream, std::uint32_t declaredSize);

// A stream of literal items only: the header with `declaredSize` (at most 24 bits), then for every
// eight source bytes a zero flag byte and those bytes. A last group of fewer than eight bytes is
// completed with zero bytes, so every group is whole. Its length is 4 + 9 x ceil(size / 8).
Bytes lz77EncodeLiterals(ByteSpan source, std::uint32_t declaredSize);

// Where a compressed stream is decoded to. Video memory takes 16-bit writes, so a stream meant for
// it never copies from the byte just written (no back-reference of distance 1).
enum class Lz77Target { Vram, Wram };

// The smallest stream of `source` (at most 24 bits long) that the format allows for `target` and
// whose last group is whole: a last group of fewer items is completed with zero literals, so
// readers that walk whole groups find the stream's end where it is. A shortest-path parse over the
// longest match found exactly at every position, which keeps the number of items modulo eight in
// its state and so weighs those zero literals, finds the minimum; among streams of equal size it
// takes the one with fewer items, which decodes faster.
Bytes lz77Compress(ByteSpan source, Lz77Target target = Lz77Target::Vram);

}  // namespace sprite
