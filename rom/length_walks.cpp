#include "rom/length_walks.hpp"

#include "rom/block_reader.hpp"

#include <algorithm>
#include <array>
#include <bit>

namespace rom {
namespace {

// Part command streams.
constexpr std::uint8_t kShortFormBit = 0x80;
constexpr std::uint8_t kStreamEnd0 = 0xFF;
constexpr std::uint8_t kStreamEnd1 = 0x00;
constexpr std::uint8_t kControlSetRepeat = 1;        // repeat count and factor in two bytes
constexpr std::uint8_t kControlSetPackedRepeat = 2;  // both in the nibbles of one byte

// Key blocks.
constexpr int kKeyBlockMaxEntries = 512;
constexpr std::size_t kKeyRegisterSlots = 32;  // a register number is five bits
constexpr std::uint8_t kKeyRecordExtraByte = 0x40;
constexpr std::uint8_t kKeyRecordKeepsMask = 0x80;
constexpr std::uint8_t kKeyRegisterMask = 0x1F;

// Operand bytes that follow a part command with flags `g` and a non-zero duration.
std::size_t operandBytes(std::uint8_t g)
{
    std::size_t skip = 0;
    switch (g & 0x0F) {
    case 5:
        skip = 1;
        break;
    case 7:
    case 10:
    case 11:
        break;
    default:
        skip += (g & 0x01) ? 1 : 0;
        skip += (g & 0x02) ? 1 : 0;
        skip += (g & 0x04) ? 2 : 0;
        skip += (g & 0x08) ? 2 : 0;
        break;
    }
    skip += (g & 0x10) ? 2 : 0;
    skip += ((g & 0x20) && !(g & 0x80)) ? 2 : 0;
    skip += (g & 0x40) ? 1 : 0;
    skip += ((g & 0x80) && (g & 0x20)) ? 1 : 0;
    return skip;
}

}  // namespace

RomResult<std::size_t> measurePartStream(ByteSpan image, std::uint32_t offset, std::uint16_t limit,
                                         DataSource source)
{
    const BlockReader reader(image, offset, "パートデータ", source);
    std::size_t p = 0;
    std::uint16_t total = 0;
    std::uint8_t repeatCount = 0;
    std::uint8_t repeatFactor = 0;
    while (true) {
        const std::optional<std::uint8_t> b = reader.byte(p);
        if (!b)
            return std::unexpected(reader.failureAt(p));
        std::uint8_t duration = 0;
        std::uint8_t flags = 0;
        if (!(*b & kShortFormBit)) {
            const std::optional<std::uint8_t> second = reader.byte(p + 1);
            if (!second)
                return std::unexpected(reader.failureAt(p + 1));
            duration = *b;
            flags = *second;
            p += 2;
        } else {
            flags = *b & 0x0F;
            duration = static_cast<std::uint8_t>((*b & 0x70) >> 4);
            p += 1;
        }

        if (repeatCount == 0) {
            total = static_cast<std::uint16_t>(total + duration);
        } else {
            total = static_cast<std::uint16_t>(total + duration * repeatFactor);
            --repeatCount;
        }

        if (duration != 0) {
            p += operandBytes(flags);
        } else if (flags == kControlSetRepeat) {
            const std::optional<std::uint8_t> count = reader.byte(p);
            const std::optional<std::uint8_t> factor = reader.byte(p + 1);
            if (!count || !factor)
                return std::unexpected(reader.failureAt(count ? p + 1 : p));
            repeatCount = *count;
            repeatFactor = *factor;
            p += 2;
        } else if (flags == kControlSetPackedRepeat) {
            const std::optional<std::uint8_t> packed = reader.byte(p);
            if (!packed)
                return std::unexpected(reader.failureAt(p));
            repeatCount = static_cast<std::uint8_t>(*packed >> 4);
            repeatFactor = static_cast<std::uint8_t>(*packed & 0x0F);
            p += 1;
        }

        // A terminator needs both of its bytes inside the image; a stream that runs to the very
        // end of the image simply has none.
        if (reader.byte(p) == kStreamEnd0 && reader.byte(p + 1) == kStreamEnd1)
            return reader.wholeBlock(p + 2);
        if (!(total < limit || repeatCount != 0))
            return reader.wholeBlock(p);
    }
}

RomResult<std::size_t> measureKeyBlock(ByteSpan image, std::uint32_t offset,
                                       std::uint16_t totalFrames, DataSource source)
{
    const BlockReader reader(image, offset, "キーデータ", source);
    // The game keeps a 16-bit position; a block can only exceed 64 KiB in damaged data, and
    // measuring it in full keeps such a block from being cut short when it is copied.
    std::size_t p = 0;
    unsigned previousIndex = 0;
    std::array<std::uint8_t, kKeyRegisterSlots> masks{};
    for (int entry = 0; entry < kKeyBlockMaxEntries; ++entry) {
        const std::optional<std::uint8_t> a = reader.byte(p);
        const std::optional<std::uint8_t> y = reader.byte(p + 1);
        if (!a || !y)
            return std::unexpected(reader.failureAt(a ? p + 1 : p));
        p += 2;
        if ((*a == 0xFF && *y == 0xFF) || (*a == 0x00 && *y == 0x00))
            return reader.wholeBlock(p);
        const unsigned index = (*a & 7u) * 256u + *y;
        if (index > totalFrames || index < previousIndex)
            return reader.wholeBlock(p);
        previousIndex = index;

        const int records = std::max(*a >> 3, 1);
        for (int record = 0; record < records; ++record) {
            const std::optional<std::uint8_t> e = reader.byte(p);
            if (!e)
                return std::unexpected(reader.failureAt(p));
            p += 1;
            if (*e & kKeyRecordExtraByte)
                p += 1;
            std::uint8_t& mask = masks[*e & kKeyRegisterMask];
            if (!(*e & kKeyRecordKeepsMask)) {
                const std::optional<std::uint8_t> newMask = reader.byte(p);
                if (!newMask)
                    return std::unexpected(reader.failureAt(p));
                mask = *newMask;
                p += 1;
            }
            p += static_cast<std::size_t>(std::popcount(mask));
        }
    }
    return reader.wholeBlock(p);
}

}  // namespace rom
