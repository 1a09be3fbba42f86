#include "tests/sprite/sprite_test_files.hpp"

#include <png.h>

#include <csetjmp>
#include <iterator>
#include <stdexcept>

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

std::uint8_t plannedPngIndex(const PngPlan& plan, int x, int y)
{
    return static_cast<std::uint8_t>((x + 3 * y) & ((1 << plan.bitDepth) - 1));
}

namespace {

void appendTo(png_structp png, png_bytep data, std::size_t count)
{
    auto* out = static_cast<ByteVector*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

// Nothing with a destructor lives in this frame: libpng's errors jump out of it.
bool writePng(png_structp png, png_infop info, const PngPlan& plan, const ByteVector& rows, std::size_t rowBytes)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(plan.width), static_cast<png_uint_32>(plan.height),
                 plan.bitDepth, plan.palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 plan.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {static_cast<png_byte>(i), static_cast<png_byte>(2 * i), static_cast<png_byte>(3 * i)};
    if (plan.palette)
        png_set_PLTE(png, info, colours, plan.paletteSize);
    png_write_info(png, info);
    // Indices past the palette are written as they are: readers meet such files.
    png_set_check_for_invalid_index(png, 0);
    png_set_packing(png);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < plan.height; ++y)
            png_write_row(png, rows.data() + static_cast<std::size_t>(y) * rowBytes);
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

ByteVector pngFile(const PngPlan& plan)
{
    const std::size_t rowBytes = static_cast<std::size_t>(plan.width) * (plan.palette ? 1 : 3);
    ByteVector rows(rowBytes * static_cast<std::size_t>(plan.height));
    for (int y = 0; y < plan.height; ++y) {
        for (std::size_t i = 0; i < rowBytes; ++i)
            rows[static_cast<std::size_t>(y) * rowBytes + i] = plannedPngIndex(plan, static_cast<int>(i), y);
    }
    ByteVector file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, appendTo, nullptr);
    const bool written = writePng(png, info, plan, rows, rowBytes);
    png_destroy_write_struct(&png, &info);
    if (!written)
        throw std::runtime_error("libpng could not write the test PNG");
    return file;
}

ByteVector rgbaPixelsOf(const ByteVector& png)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0)
        return {};
    image.format = PNG_FORMAT_RGBA;
    ByteVector pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0)
        return {};
    return pixels;
}

}  // namespace sprite_test
