#include "rom/length_walks.hpp"
#include "rom/lz77.hpp"

#include "tests/support/synthetic_lz77.hpp"
#include "tests/support/walk_cases.hpp"

#include <gtest/gtest.h>

namespace {

using rom::measureKeyBlock;
using rom::measureLz77Block;
using rom::measurePartStream;

// Each case is placed at a non-zero offset so that a walk measuring from the image start shows.
constexpr std::uint32_t kCaseOffset = 5;

shell::Bytes placed(shell::ByteSpan bytes)
{
    shell::Bytes image(kCaseOffset, 0xEE);
    image.insert(image.end(), bytes.begin(), bytes.end());
    return image;
}

TEST(LengthWalks, Lz77CasesMeasureTheirKnownLengths)
{
    for (const synthetic::WalkCase& walk : synthetic::lz77WalkCases()) {
        const auto length = measureLz77Block(placed(walk.bytes), kCaseOffset);
        ASSERT_TRUE(length) << walk.name << ": " << length.error().message;
        EXPECT_EQ(*length, walk.length) << walk.name;
    }
}

TEST(LengthWalks, PartStreamCasesMeasureTheirKnownLengths)
{
    for (const synthetic::WalkCase& walk : synthetic::partStreamWalkCases()) {
        const auto length = measurePartStream(placed(walk.bytes), kCaseOffset, walk.limit);
        ASSERT_TRUE(length) << walk.name << ": " << length.error().message;
        EXPECT_EQ(*length, walk.length) << walk.name;
    }
}

TEST(LengthWalks, KeyBlockCasesMeasureTheirKnownLengths)
{
    for (const synthetic::WalkCase& walk : synthetic::keyBlockWalkCases()) {
        const auto length = measureKeyBlock(placed(walk.bytes), kCaseOffset, walk.limit);
        ASSERT_TRUE(length) << walk.name << ": " << length.error().message;
        EXPECT_EQ(*length, walk.length) << walk.name;
    }
}

// Every case cut short at every byte either still measures a block inside what is left or
// reports an error; none reads past the buffer (the sanitizer build checks that too).
TEST(LengthWalks, TruncatedDataIsAnErrorNeverAnOverrun)
{
    auto cutEverywhere = [](const std::vector<synthetic::WalkCase>& cases, auto measure) {
        for (const synthetic::WalkCase& walk : cases) {
            for (std::size_t keep = 0; keep < walk.bytes.size(); ++keep) {
                const synthetic::Bytes cut(walk.bytes.begin(),
                                       walk.bytes.begin() + static_cast<std::ptrdiff_t>(keep));
                const auto length = measure(cut, walk.limit);
                if (length) {
                    EXPECT_LE(*length, keep) << walk.name << " cut to " << keep;
                }
            }
        }
    };
    cutEverywhere(synthetic::lz77WalkCases(), [](const synthetic::Bytes& bytes, std::uint16_t) {
        return measureLz77Block(bytes, 0);
    });
    cutEverywhere(synthetic::partStreamWalkCases(),
                  [](const synthetic::Bytes& bytes, std::uint16_t limit) {
                      return measurePartStream(bytes, 0, limit);
                  });
    cutEverywhere(synthetic::keyBlockWalkCases(),
                  [](const synthetic::Bytes& bytes, std::uint16_t limit) {
                      return measureKeyBlock(bytes, 0, limit);
                  });
}

TEST(LengthWalks, OffsetsOutsideTheImageAreErrors)
{
    const shell::Bytes image(16, 0);
    EXPECT_FALSE(measureLz77Block(image, 14));
    EXPECT_FALSE(measureLz77Block(image, 0xF8000000));  // a null pointer's offset
    EXPECT_FALSE(measurePartStream(image, 16, 1));
    EXPECT_FALSE(measureKeyBlock(image, 0xFFFFFFFF, 1));
}

TEST(LengthWalks, AStreamThatNeverReachesItsLimitEndsAtTheImageEnd)
{
    // Zero-duration commands with control code 0 add no frames: the walk runs off the data.
    const shell::Bytes image(4096, 0x00);
    const auto length = measurePartStream(image, 0, 10);
    ASSERT_FALSE(length);
    EXPECT_NE(length.error().message.find("ROMの範囲外"), std::string::npos);
}

TEST(LengthWalks, ADataFileHoldsAStreamTheGameCanDecodeOrIsRefused)
{
    const synthetic::Bytes raw{1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    synthetic::Bytes good = synthetic::compressLz77(raw);
    const std::size_t length = good.size();
    good.push_back(0x99);  // what follows the stream is never read
    EXPECT_EQ(rom::checkLz77File(good), length);

    const auto refusal = [](synthetic::Bytes bytes) {
        const auto checked = rom::checkLz77File(bytes);
        return checked ? std::string() : checked.error().message;
    };
    synthetic::Bytes wrongType = good;
    wrongType[0] = 0x11;
    EXPECT_EQ(refusal(wrongType), "LZ77データ の種類が 0x11 です (0x10 のはずです)");
    // A first item that copies from before the output's start.
    EXPECT_EQ(refusal({0x10, 0x08, 0x00, 0x00, 0x80, 0x50, 0x00}),
              "LZ77データ の参照が復元前のデータを指しています (オフセット 0x5)");
    EXPECT_EQ(refusal(synthetic::Bytes(good.begin(), good.begin() + 10)),
              "LZ77データ はファイルの範囲外です (オフセット 0xA, 長さ 0x1)");
}

TEST(LengthWalks, AHugeLz77SizeRunsOutOfDataInsteadOfLooping)
{
    shell::Bytes image{0x10, 0xFF, 0xFF, 0xFF};  // 16 MiB decompressed
    image.resize(1 << 16, 0x00);                 // all literals: 8 bytes decoded per 9 read
    EXPECT_FALSE(measureLz77Block(image, 0));
}

}  // namespace
