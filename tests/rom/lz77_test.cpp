#include "rom/lz77.hpp"
#include "tests/support/synthetic_lz77.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using rom::Bytes;
using rom::lz77Compress;
using rom::lz77Decode;
using rom::lz77EncodeLiterals;
using rom::Lz77Target;
using Raw = std::vector<std::uint8_t>;
using synthetic::sheetLikeBytes;

Raw decoded(const Bytes& stream, std::size_t offset = 0)
{
    const rom::Lz77Decoding result = lz77Decode(stream, offset);
    return Raw(result.bytes.begin(), result.bytes.end());
}

Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes bytes;
    for (const int value : values)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

Raw randomBytes(std::size_t size, unsigned seed, unsigned alphabet)
{
    std::mt19937 random(seed);
    Raw raw(size);
    for (std::uint8_t& byte : raw)
        byte = static_cast<std::uint8_t>(random() % alphabet);
    return raw;
}

struct ItemCounts {
    std::size_t literals = 0;
    std::size_t references = 0;
    int shortestDistance = 4097;
};

// Walks a stream's items up to its declared size.
ItemCounts itemsOf(const Bytes& stream)
{
    ItemCounts counts;
    const std::size_t size = stream[1] | stream[2] << 8 | stream[3] << 16;
    std::size_t at = 4;
    std::size_t produced = 0;
    while (produced < size) {
        const std::uint8_t flags = stream.at(at++);
        for (int bit = 7; bit >= 0 && produced < size; --bit) {
            if (flags >> bit & 1) {
                const int distance = ((stream.at(at) & 0x0F) << 8 | stream.at(at + 1)) + 1;
                produced += static_cast<std::size_t>((stream.at(at) >> 4) + 3);
                counts.shortestDistance = std::min(counts.shortestDistance, distance);
                ++counts.references;
                at += 2;
            } else {
                ++counts.literals;
                ++produced;
                ++at;
            }
        }
    }
    return counts;
}

struct SmallestStream {
    std::size_t bytes = 0;
    std::size_t items = 0;
};

// The smallest stream whose last group is whole and, at that size, the fewest items, by plain
// search: the longest match at every position by comparing every allowed distance, then for every
// position and every exact number of items the fewest back-references that reach it.
SmallestStream referenceSmallestStream(const Raw& raw, std::size_t minimumDistance)
{
    const std::size_t n = raw.size();
    constexpr std::size_t kNone = SIZE_MAX;
    // fewestReferences[p][k]: the fewest back-references among parses of the first p bytes into k items.
    std::vector<std::vector<std::size_t>> fewestReferences(n + 1);
    for (std::size_t p = 0; p <= n; ++p)
        fewestReferences[p].assign(p + 1, kNone);
    fewestReferences[0][0] = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t longest = 0;
        for (std::size_t d = minimumDistance; d <= 4096 && d <= i; ++d) {
            std::size_t length = 0;
            while (length < 18 && i + length < n && raw[i + length] == raw[i - d + length])
                ++length;
            longest = std::max(longest, length);
        }
        for (std::size_t k = 0; k <= i; ++k) {
            const std::size_t references = fewestReferences[i][k];
            if (references == kNone)
                continue;
            std::size_t& literal = fewestReferences[i + 1][k + 1];
            literal = std::min(literal, references);
            for (std::size_t length = 3; length <= longest; ++length) {
                std::size_t& reference = fewestReferences[i + length][k + 1];
                reference = std::min(reference, references + 1);
            }
        }
    }
    SmallestStream best{SIZE_MAX, 0};
    for (std::size_t k = 0; k <= n; ++k) {
        if (fewestReferences[n][k] == kNone)
            continue;
        const std::size_t groups = std::max<std::size_t>(1, (k + 7) / 8);
        const std::size_t bytes = 4 + 9 * groups + fewestReferences[n][k];
        if (bytes < best.bytes)
            best = {bytes, k};
    }
    return best;
}

TEST(Lz77Decode, LiteralStreamOfSixteenBytesRoundTrips)
{
    Raw source(16);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(0xA0 + i);
    const Bytes stream = lz77EncodeLiterals(source, 16);
    ASSERT_EQ(stream.size(), 22u);
    EXPECT_EQ(Raw(stream.begin(), stream.begin() + 5), (Raw{0x10, 0x10, 0x00, 0x00, 0x00}));
    EXPECT_EQ(stream[13], 0x00);
    EXPECT_EQ(decoded(stream), source);
}

TEST(Lz77Decode, SizeWithBitFifteenSetDecodesToNothingAfterOneGroup)
{
    Bytes stream = bytesOf({0x10, 0x00, 0x80, 0x00, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
    const rom::Lz77Decoding result = lz77Decode(stream, 0);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_TRUE(result.complete);
    // The third header byte is not read: 0x018000 declares nothing either.
    stream[3] = 0x01;
    EXPECT_TRUE(lz77Decode(stream, 0).bytes.empty());
}

TEST(Lz77Decode, BackReferencesRepeatAndNeverReachBeforeTheOutput)
{
    // Distance 1, length 18: the previous byte eighteen times.
    EXPECT_EQ(decoded(bytesOf({0x10, 19, 0, 0, 0x40, 0x5A, 0xF0, 0x00})), Raw(19, 0x5A));
    // Distance 3, length 7 after "abc": the last three bytes cycle.
    EXPECT_EQ(decoded(bytesOf({0x10, 10, 0, 0, 0x10, 'a', 'b', 'c', 0x40, 0x02})),
              (Raw{'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c', 'a'}));
    // Distance 4 from position 2: the two bytes before the output read as zero, then the cycle
    // takes what was written.
    EXPECT_EQ(decoded(bytesOf({0x10, 8, 0, 0, 0x20, 'x', 'y', 0x30, 0x03})),
              (Raw{'x', 'y', 0, 0, 'x', 'y', 0, 0}));
    // A first item that reaches 4096 bytes back copies zeros.
    EXPECT_EQ(decoded(bytesOf({0x10, 3, 0, 0, 0x80, 0x0F, 0xFF})), Raw(3, 0));
}

TEST(Lz77Decode, StopsAfterTheGroupThatReachesTheSizeAndStoresNothingPast)
{
    // Size 40, below two tiles: every byte is decoded, not only the first tile's.
    Raw source(40);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i + 1);
    EXPECT_EQ(decoded(lz77EncodeLiterals(source, 40)), source);

    // Size 4 reached by the second item; the six items after it are references whose bytes lie
    // in the stream and are consumed, not stored. The next group would be garbage.
    const Bytes stream = bytesOf({0x10, 4, 0, 0, 0x3F, 1, 2, 0xF0, 0, 0xF0, 0, 0xF0, 0, 0xF0, 0,
                                  0xF0, 0, 0xF0, 0, 0xFF, 0xFF, 0xFF});
    const rom::Lz77Decoding result = lz77Decode(stream, 0);
    EXPECT_EQ(Raw(result.bytes.begin(), result.bytes.end()), (Raw{1, 2, 2, 2}));
    EXPECT_TRUE(result.complete);
}

TEST(Lz77Decode, InputEndingEarlyReadsAsZeroAndIsReportedIncomplete)
{
    // Items after the size's end may be missing from the buffer without harm.
    const rom::Lz77Decoding shortTail = lz77Decode(bytesOf({0x10, 2, 0, 0, 0x3F, 7, 8}), 0);
    EXPECT_EQ(Raw(shortTail.bytes.begin(), shortTail.bytes.end()), (Raw{7, 8}));
    EXPECT_TRUE(shortTail.complete);

    // A stream cut inside the bytes the size needs: what is there, then zeros.
    const rom::Lz77Decoding cut = lz77Decode(bytesOf({0x10, 64, 0, 0, 0x00, 1, 2, 3}), 0);
    Raw expected(64, 0);
    expected[0] = 1, expected[1] = 2, expected[2] = 3;
    EXPECT_EQ(Raw(cut.bytes.begin(), cut.bytes.end()), expected);
    EXPECT_FALSE(cut.complete);

    // A header past the end, or cut short, decodes to at most zeros.
    const Bytes stream = lz77EncodeLiterals(Raw(32, 9), 32);
    EXPECT_FALSE(lz77Decode(stream, stream.size() + 100).complete);
    EXPECT_TRUE(lz77Decode(stream, stream.size() + 100).bytes.empty());
    const Raw headerCut = decoded(bytesOf({0x10, 0x20, 0x00}));
    EXPECT_EQ(headerCut, Raw(32, 0));
}

TEST(Lz77Decode, HostileBuffersNeverLeaveTheirBounds)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        Bytes buffer(random() % 300);
        for (std::uint8_t& byte : buffer)
            byte = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xFF : random());
        const std::size_t offset = random() % (buffer.size() + 8);
        const rom::Lz77Decoding result = lz77Decode(buffer, offset);
        const std::size_t declared = offset + 2 < buffer.size()
                                         ? ((buffer[offset + 1] | buffer[offset + 2] << 8) & 0x7FFF)
                                         : result.bytes.size();
        ASSERT_EQ(result.bytes.size(), declared);
    }
}

TEST(Lz77Compress, RoundTripsEveryKindOfInput)
{
    const std::vector<Raw> inputs = {
        Raw{},
        Raw{42},
        Raw(5000, 0),
        sheetLikeBytes(32767, 1),
        randomBytes(20000, 2, 256),
        randomBytes(20000, 3, 2),
        randomBytes(777, 4, 3),
    };
    for (const Raw& input : inputs) {
        for (const Lz77Target target : {Lz77Target::Vram, Lz77Target::Wram}) {
            const Bytes stream = lz77Compress(input, target);
            EXPECT_EQ(decoded(stream), input) << input.size();
            EXPECT_EQ(stream[0], 0x10);
            EXPECT_EQ(stream[1] | stream[2] << 8 | stream[3] << 16, static_cast<int>(input.size()));
            // Whole groups only, so a reader that walks groups finds the end exactly.
            EXPECT_EQ(rom::measureLz77Block(stream, 0).value_or(0), stream.size());
            if (target == Lz77Target::Vram) {
                EXPECT_GE(itemsOf(stream).shortestDistance, 2);
            }
        }
    }
}

TEST(Lz77Compress, GivesTheSmallestWholeGroupStreamOfAPlainSearch)
{
    std::vector<Raw> inputs = {sheetLikeBytes(1200, 5), randomBytes(1000, 6, 2), randomBytes(1000, 7, 5),
                               Raw(300, 7), randomBytes(800, 8, 256)};
    // Short inputs of few values: many parses of nearly equal size, ending in every slot of a group.
    std::mt19937 random(9);
    for (int round = 0; round < 300; ++round)
        inputs.push_back(randomBytes(random() % 64, static_cast<unsigned>(random()), 1 + random() % 4));
    for (const Raw& input : inputs) {
        for (const auto& [target, minimumDistance] :
             {std::pair{Lz77Target::Vram, std::size_t{2}}, std::pair{Lz77Target::Wram, std::size_t{1}}}) {
            const Bytes stream = lz77Compress(input, target);
            const ItemCounts items = itemsOf(stream);
            const SmallestStream smallest = referenceSmallestStream(input, minimumDistance);
            ASSERT_EQ(stream.size(), smallest.bytes) << input.size();
            ASSERT_EQ(items.literals + items.references, smallest.items) << input.size();
        }
    }
}

}  // namespace
