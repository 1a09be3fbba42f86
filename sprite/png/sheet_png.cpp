#include "sprite/png/sheet_png.hpp"

#include <QBuffer>
#include <QImage>

namespace sprite {
namespace {

QRgb qtColour(const Rgb& colour)
{
    return qRgb(colour.red, colour.green, colour.blue);
}

QImage colourImage(const SheetCanvas& canvas)
{
    QImage image(kSheetWidth, canvas.height, QImage::Format_RGB32);
    const std::vector<std::uint32_t> pixels = canvasPixels(canvas);
    for (int y = 0; y < canvas.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * kSheetWidth, kSheetWidth, line);
    }
    return image;
}

// Pixels the sheet does not reach take index 0, the colour the console treats as transparent.
QImage indexedImage(const SheetCanvas& canvas)
{
    QImage image(kSheetWidth, canvas.height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const Rgb& colour : canvas.colours)
        table.append(qtColour(colour));
    image.setColorTable(table);
    for (int y = 0; y < canvas.height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < kSheetWidth; ++x) {
            const std::uint8_t index = canvas.indices[static_cast<std::size_t>(y) * kSheetWidth + static_cast<std::size_t>(x)];
            line[x] = index == kUndrawnPixel ? 0 : index;
        }
    }
    return image;
}

}  // namespace

std::optional<shell::Bytes> encodeSheetPng(const SheetCanvas& canvas, PngKind kind)
{
    if (canvas.height <= 0)
        return std::nullopt;
    const QImage image = kind == PngKind::Indexed ? indexedImage(canvas) : colourImage(canvas);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    return shell::Bytes(encoded.begin(), encoded.end());
}

}  // namespace sprite
