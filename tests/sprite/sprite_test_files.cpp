#include "tests/sprite/sprite_test_files.hpp"

#include <iterator>

namespace sprite_test {

void putU16(ByteVector& bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(ByteVector& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint8_t plannedPixel(const BitmapPlan& plan, int x, int y)
{
    if (!plan.topDownPixels.empty())
        return plan.topDownPixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(plan.width) + static_cast<std::size_t>(x)];
    return static_cast<std::uint8_t>(x + 3 * y);
}

BitmapPlan sizedPlan(std::int32_t width, std::int32_t height)
{
    BitmapPlan plan;
    plan.width = width;
    plan.height = height;
    return plan;
}

ByteVector bitmapFile(const BitmapPlan& plan)
{
    const std::size_t entries = plan.coloursUsed != 0 ? plan.coloursUsed : 256;
    const std::size_t rows = static_cast<std::size_t>(plan.height < 0 ? -plan.height : plan.height);
    const std::size_t width = static_cast<std::size_t>(plan.width);
    const std::size_t pixelsAt = 54 + entries * 4;
    ByteVector file(pixelsAt + rows * width, 0);

    putU16(file, 0, 0x4D42);
    putU32(file, 2, static_cast<std::uint32_t>(file.size()));
    putU32(file, 10, static_cast<std::uint32_t>(pixelsAt));
    putU32(file, 14, plan.infoSize);
    putU32(file, 18, static_cast<std::uint32_t>(plan.width));
    putU32(file, 22, static_cast<std::uint32_t>(plan.height));
    putU16(file, 26, plan.planes);
    putU16(file, 28, plan.bitCount);
    putU32(file, 30, plan.compression);
    putU32(file, 34, static_cast<std::uint32_t>(rows * width));
    putU32(file, 46, plan.coloursUsed);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t rgb = i < plan.colours.size()
                                      ? plan.colours[i]
                                      : static_cast<std::uint32_t>((i & 0xFF) << 16 | ((2 * i) & 0xFF) << 8 | ((3 * i) & 0xFF));
        file[54 + 4 * i] = static_cast<std::uint8_t>(rgb);           // blue
        file[54 + 4 * i + 1] = static_cast<std::uint8_t>(rgb >> 8);  // green
        file[54 + 4 * i + 2] = static_cast<std::uint8_t>(rgb >> 16); // red
    }
    // Stored rows run bottom-up unless the height is negative.
    for (std::size_t stored = 0; stored < rows; ++stored) {
        const std::size_t y = plan.height < 0 ? stored : rows - 1 - stored;
        for (std::size_t x = 0; x < width; ++x)
            file[pixelsAt + stored * width + x] = plannedPixel(plan, static_cast<int>(x), static_cast<int>(y));
    }
    return file;
}

}  // namespace sprite_test
