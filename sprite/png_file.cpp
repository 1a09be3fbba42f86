#include "sprite/png_file.hpp"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <utility>
#include <vector>

// libpng reports an error by longjmp to the frame that called setjmp. Every function here that
// calls setjmp holds nothing with a destructor: the buffers it fills belong to its caller, so a
// jump out of libpng skips no clean-up.

namespace sprite {
namespace {

constexpr std::size_t kSignatureBytes = 8;
// The first chunk after the signature: length, type "IHDR", 13 data bytes, CRC.
constexpr std::size_t kChunkLengthBytes = 4;
constexpr std::size_t kChunkTypeBytes = 4;
constexpr std::size_t kChunkCrcBytes = 4;
constexpr std::uint32_t kHeaderDataBytes = 13;
constexpr std::size_t kHeaderWidthAt = 0;
constexpr std::size_t kHeaderHeightAt = 4;
constexpr std::size_t kHeaderColourTypeAt = 9;
constexpr std::size_t kHeaderChunkBytes = kChunkLengthBytes + kChunkTypeBytes + kHeaderDataBytes + kChunkCrcBytes;

constexpr int kIndexedBitDepth = 4;
constexpr int kColourBitDepth = 8;
constexpr int kOpaqueAlpha = 0xFF;
// Ancillary chunks a reader keeps, and the largest one it decompresses: a hostile file cannot
// make the reader hold more.
constexpr png_uint_32 kChunkCacheLimit = 128;
constexpr png_alloc_size_t kChunkMallocLimit = 1 << 20;

// A PNG image as this file writes it and reads it: the header's size, colour type and bit depth,
// the palette and its transparency entries, and the rows with one byte per sample (indices of
// fewer than 8 bits unpacked to one byte each).
struct PngImage {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colourType = 0;
    int bitDepth = 0;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> alphas;
    std::size_t rowBytes = 0;
    std::vector<std::uint8_t> samples;
};

struct ReadSource {
    ByteSpan file;
    std::size_t position = 0;
};

[[noreturn]] void jumpOnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Warnings (a benign oddity libpng has mended) are not shown: the result is checked instead.
void ignoreWarning(png_structp, png_const_charp) {}

void readFromSource(png_structp png, png_bytep into, std::size_t count)
{
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (source->file.size() - source->position < count)
        png_error(png, "truncated");
    std::memcpy(into, source->file.data() + source->position, count);
    source->position += count;
}

void appendToBytes(png_structp png, png_bytep from, std::size_t count)
{
    auto* out = static_cast<shell::Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), from, from + count);
}

void flushNothing(png_structp) {}

// Reads the whole file into `out`, at most `widest` x `tallest` pixels of at most 8 bits a sample.
bool decodeWithLibpng(png_structp png, png_infop info, png_uint_32 widest, png_uint_32 tallest,
                      PngImage& out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, widest, tallest);
    png_set_chunk_cache_max(png, kChunkCacheLimit);
    png_set_chunk_malloc_max(png, kChunkMallocLimit);
    // A checksum error anywhere is damage, not something to read past.
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    png_read_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.colourType = png_get_color_type(png, info);
    out.bitDepth = png_get_bit_depth(png, info);
    if (out.bitDepth > kColourBitDepth)
        return false;
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(png, info, &palette, &paletteSize) != 0)
        out.palette.assign(palette, palette + paletteSize);
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) != 0 && alphas != nullptr)
        out.alphas.assign(alphas, alphas + alphaCount);

    png_set_packing(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.rowBytes = png_get_rowbytes(png, info);
    if (out.rowBytes != static_cast<std::size_t>(out.width) * png_get_channels(png, info))
        return false;
    out.samples.assign(out.rowBytes * out.height, 0);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 row = 0; row < out.height; ++row)
            png_read_row(png, out.samples.data() + row * out.rowBytes, nullptr);
    }
    // The chunks after the image are read too, so damage there is found.
    png_read_end(png, nullptr);
    return true;
}

std::optional<PngImage> decodePng(ByteSpan file, png_uint_32 widest, png_uint_32 tallest)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (png == nullptr)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    ReadSource source{file, 0};
    PngImage decoded;
    bool read = false;
    if (info != nullptr) {
        png_set_read_fn(png, &source, readFromSource);
        read = decodeWithLibpng(png, info, widest, tallest, decoded);
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    if (!read)
        return std::nullopt;
    return decoded;
}

bool encodeWithLibpng(png_structp png, png_infop info, PngImage& plan)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, plan.width, plan.height, plan.bitDepth, plan.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!plan.palette.empty())
        png_set_PLTE(png, info, plan.palette.data(), static_cast<int>(plan.palette.size()));
    if (!plan.alphas.empty())
        png_set_tRNS(png, info, plan.alphas.data(), static_cast<int>(plan.alphas.size()), nullptr);
    png_write_info(png, info);
    // Rows hold one index a byte; libpng packs them to the header's depth.
    png_set_packing(png);
    for (png_uint_32 row = 0; row < plan.height; ++row)
        png_write_row(png, plan.samples.data() + row * plan.rowBytes);
    png_write_end(png, nullptr);
    return true;
}

std::optional<shell::Bytes> encodePng(PngImage& plan)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (png == nullptr)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    shell::Bytes file;
    bool written = false;
    if (info != nullptr) {
        png_set_write_fn(png, &file, appendToBytes, flushNothing);
        written = encodeWithLibpng(png, info, plan);
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    if (!written)
        return std::nullopt;
    return file;
}

bool samePalette(const std::vector<png_color>& a, const std::vector<png_color>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const png_color& x, const png_color& y) {
        return x.red == y.red && x.green == y.green && x.blue == y.blue;
    });
}

// Whether the file reads back as exactly what the plan wrote.
bool readsBackAs(ByteSpan file, const PngImage& plan)
{
    const std::optional<PngImage> decoded = decodePng(file, kSheetWidth, plan.height);
    return decoded && decoded->width == plan.width && decoded->height == plan.height &&
           decoded->colourType == plan.colourType && decoded->bitDepth == plan.bitDepth &&
           samePalette(decoded->palette, plan.palette) &&
           decoded->alphas == plan.alphas && decoded->rowBytes == plan.rowBytes && decoded->samples == plan.samples;
}

PngImage indexedPlan(const SheetCanvas& canvas, bool transparentIndexZero)
{
    PngImage plan;
    plan.width = kSheetWidth;
    plan.colourType = PNG_COLOR_TYPE_PALETTE;
    plan.bitDepth = kIndexedBitDepth;
    for (const Rgb& colour : canvas.colours)
        plan.palette.push_back({colour.red, colour.green, colour.blue});
    if (transparentIndexZero)
        plan.alphas = {0};
    plan.rowBytes = kSheetWidth;
    plan.samples.reserve(canvas.indices.size());
    for (const std::uint8_t index : canvas.indices)
        plan.samples.push_back(index == kUndrawnPixel ? 0 : index);
    return plan;
}

PngImage colourPlan(const SheetCanvas& canvas, bool transparentIndexZero)
{
    PngImage plan;
    plan.width = kSheetWidth;
    plan.colourType = transparentIndexZero ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    plan.bitDepth = kColourBitDepth;
    const std::size_t channels = transparentIndexZero ? 4 : 3;
    plan.rowBytes = kSheetWidth * channels;
    const std::vector<std::uint32_t> pixels = canvasPixels(canvas);
    plan.samples.reserve(pixels.size() * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        plan.samples.push_back(static_cast<std::uint8_t>(pixels[i] >> 16));
        plan.samples.push_back(static_cast<std::uint8_t>(pixels[i] >> 8));
        plan.samples.push_back(static_cast<std::uint8_t>(pixels[i]));
        if (transparentIndexZero) {
            const bool clear = canvas.indices[i] == 0 || canvas.indices[i] == kUndrawnPixel;
            plan.samples.push_back(clear ? 0 : kOpaqueAlpha);
        }
    }
    return plan;
}

// The checks the bitmap reader makes, on the header chunk as stored, so that their messages
// speak before libpng judges the rest; a header chunk that is cut short or fails its checksum
// is damage.
std::string_view headerRefusal(ByteSpan file)
{
    if (!isPngFile(file) || file.size() < kSignatureBytes + kHeaderChunkBytes)
        return kDamagedPng;
    const std::uint8_t* chunk = file.data() + kSignatureBytes;
    const std::uint8_t* type = chunk + kChunkLengthBytes;
    const std::uint8_t* data = type + kChunkTypeBytes;
    const std::uint32_t crc =
        static_cast<std::uint32_t>(crc32(0, type, static_cast<uInt>(kChunkTypeBytes + kHeaderDataBytes)));
    if (png_get_uint_32(chunk) != kHeaderDataBytes || std::memcmp(type, "IHDR", kChunkTypeBytes) != 0 ||
        png_get_uint_32(data + kHeaderDataBytes) != crc)
        return kDamagedPng;
    if (data[kHeaderColourTypeAt] != PNG_COLOR_TYPE_PALETTE)
        return kNotPalettePng;
    if (png_get_uint_32(data + kHeaderWidthAt) != static_cast<std::uint32_t>(kBitmapWidth))
        return kWidthNot256;
    const std::uint32_t height = png_get_uint_32(data + kHeaderHeightAt);
    if (height % 2 != 0)
        return kHeightNotEven;
    if (height == 0 || height > static_cast<std::uint32_t>(kTallestBitmap))
        return kBadHeight;
    return {};
}

}  // namespace

bool isPngFile(ByteSpan file)
{
    return file.size() >= kSignatureBytes && png_sig_cmp(file.data(), 0, kSignatureBytes) == 0;
}

std::optional<shell::Bytes> encodeSheetPng(const SheetCanvas& canvas, const PngOptions& options)
{
    if (canvas.height <= 0)
        return std::nullopt;
    PngImage plan = options.kind == PngKind::Indexed ? indexedPlan(canvas, options.transparentIndexZero)
                                                    : colourPlan(canvas, options.transparentIndexZero);
    plan.height = static_cast<png_uint_32>(canvas.height);
    std::optional<shell::Bytes> file = encodePng(plan);
    // What the tools write, they can read back: a file that would not is not handed out.
    if (!file || !readsBackAs(*file, plan))
        return std::nullopt;
    return file;
}

BitmapReading readPngBitmap(ByteSpan file)
{
    BitmapReading reading;
    reading.refusal = headerRefusal(file);
    if (!reading.refusal.empty())
        return reading;
    std::optional<PngImage> decoded = decodePng(file, kBitmapWidth, static_cast<png_uint_32>(kTallestBitmap));
    if (!decoded || decoded->colourType != PNG_COLOR_TYPE_PALETTE) {
        reading.refusal = kDamagedPng;
        return reading;
    }
    Bitmap& bitmap = reading.bitmap.emplace();
    // The header fields that describe the image; the rest belong to the bitmap file format.
    bitmap.infoHeader.biWidth = static_cast<std::int32_t>(decoded->width);
    bitmap.infoHeader.biHeight = static_cast<std::int32_t>(decoded->height);
    const std::size_t entries = std::min(decoded->palette.size(), bitmap.colourTable.size());
    for (std::size_t i = 0; i < entries; ++i)
        bitmap.colourTable[i] = {decoded->palette[i].red, decoded->palette[i].green, decoded->palette[i].blue};
    bitmap.topDownPixels = std::move(decoded->samples);
    return reading;
}

}  // namespace sprite
