#pragma once
// The LZ77 stream of the console's BIOS (type 0x10), in which sprite sheets and BG maps are
// stored: its numbers, the length walk of the ROM readers, the strict check of a data file, the
// viewer's decoder and the header that the encoders write.

#include "rom/byte_io.hpp"
#include "rom/rom_error.hpp"

#include <cstddef>
#include <cstdint>

namespace rom {

// A 4-byte header (type, 24-bit decompressed size) and groups of one flag byte and eight items,
// the most significant flag bit describing the first item.
inline constexpr std::uint8_t kLz77Type = 0x10;
inline constexpr std::size_t kLz77HeaderSize = 4;
inline constexpr int kLz77ItemsPerGroup = 8;
inline constexpr std::uint8_t kLz77FirstItemFlag = 0x80;
inline constexpr std::uint32_t kLz77LargestDeclaredSize = 0xFFFFFF;
inline constexpr int kLz77SizeShift = 8;
// The viewer's decoder takes the size from header bytes 1-2 only, without bit 15.
inline constexpr std::uint32_t kLz77DecodableSizeMask = 0x7FFF;
// A back-reference: length in the high nibble of its first byte, distance in the remaining 12 bits.
inline constexpr int kLz77MinimumMatch = 3;
inline constexpr int kLz77MaximumMatch = 18;
inline constexpr int kLz77MaximumDistance = 4096;
inline constexpr int kLz77LengthShift = 4;
inline constexpr std::uint8_t kLz77DistanceHighMask = 0x0F;
// Video memory is written 16 bits at a time, so a stream decoded straight into it must not copy
// from the byte just written.
inline constexpr int kLz77VramMinimumDistance = 2;

// `source` only words the error: a walk of a file says it left the file.

// Length, header included, of the stream at `offset` (24-bit declared size). The flag group in
// which the decompressed size is reached is always counted whole.
RomResult<std::size_t> measureLz77Block(ByteSpan image, std::uint32_t offset,
                                        DataSource source = DataSource::Rom);

// The LZ77 stream of a data file (a sprite or BG map file of a file set or unit folder), which
// goes into an image as it is and so must be one the game can read: type 0x10, every item inside
// the file, and no back-reference to before the start of the output. Returns the walked length,
// which the file may exceed (what follows the stream is never read).
RomResult<std::size_t> checkLz77File(ByteSpan file);

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

// The viewer's decoder of the stream whose header starts at `offset` of `buffer`. The declared
// size is header bytes 1-2 without bit 15 (at most 32 767 bytes); the type byte is not tested.
// Every group is read whole, and decoding stops after the group in which the declared size is
// reached. Input missing at the end of the buffer reads as zero bytes, and a back-reference to
// before the start of the output copies zeros: no read or write leaves its buffer.
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

}  // namespace rom
