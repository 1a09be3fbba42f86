#pragma once
// The sprite tools' LZ77 encoders: the literal-only encoder of the bitmap converter and an exact
// compressor that finds the smallest stream. The format itself, and the viewer's decoder, are
// rom/lz77's.

#include "rom/lz77.hpp"

#include <cstddef>
#include <cstdint>

namespace sprite {

using shell::Bytes;
using shell::ByteSpan;

using rom::appendLz77Header;
using rom::Lz77Decoding;
using rom::lz77Decode;

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
