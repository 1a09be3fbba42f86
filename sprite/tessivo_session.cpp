#include "sprite/tessivo_session.hpp"

#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "sprite/data_files.hpp"
#include "sprite/png_file.hpp"

namespace sprite {

namespace {

std::string saveFilter(std::string_view filterName)
{
    return shell::makeFilter({{std::string(filterName), std::string(kDataFilePattern)},
                              {std::string(kAllFilesFilterName), std::string(kAllFilesPattern)}});
}

}  // namespace

std::string bitmapOpenFilter()
{
    return shell::makeFilter({{std::string(kBitmapFilterName), std::string(kBitmapFilePattern)},
                              {std::string(kPngFilterName), std::string(kPngFilePattern)}});
}

std::string spriteSaveFilter()
{
    return saveFilter(kSpriteFileFilterName);
}

std::string paletteSaveFilter()
{
    return saveFilter(kPaletteSaveFilterName);
}

TessivoSession::TessivoSession(shell::Shell& shell) : shell_(shell) {}

bool TessivoSession::loadBitmap(const std::filesystem::path& path)
{
    const std::optional<shell::Bytes> bytes = shell::readWholeFile(shell_, path);
    if (!bytes)
        return false;
    // The file's own signature decides, whatever its name; anything not PNG meets the bitmap
    // reader's tests.
    BitmapReading reading = isPngFile(*bytes) ? readPngBitmap(*bytes) : readBitmap(*bytes);
    if (!reading.bitmap) {
        shell_.message(reading.refusal, std::nullopt, shell::Buttons::Ok, shell::Icon::None);
        return false;
    }
    bitmap_ = std::move(reading.bitmap);
    bitmapPath_ = path;
    return true;
}

bool TessivoSession::makeSpriteFile(const SaveTarget& target, SpriteEncoding encoding)
{
    if (!bitmap_)
        return false;
    return save(target, spriteFileOf(*bitmap_, encoding), kSpriteReportCaption);
}

bool TessivoSession::makePaletteFile(const SaveTarget& target)
{
    if (!bitmap_)
        return false;
    return save(target, paletteFileOf(*bitmap_), kPaletteReportCaption);
}

bool TessivoSession::makeSpriteAndPaletteFiles(const std::filesystem::path& spritePath,
                                               const std::filesystem::path& palettePath,
                                               SpriteEncoding encoding)
{
    if (!bitmap_)
        return false;
    const shell::Bytes sprite = spriteFileOf(*bitmap_, encoding);
    const shell::Bytes palette = paletteFileOf(*bitmap_);
    const shell::FileToWrite files[] = {{spritePath, sprite}, {palettePath, palette}};
    // A failed write has said so, naming the file; it was no cancel.
    if (!shell::writeWholeFiles(shell_, files))
        return false;
    report(true, kSpriteReportCaption);
    report(true, kPaletteReportCaption);
    return true;
}

bool TessivoSession::save(const SaveTarget& target, shell::ByteSpan bytes, std::string_view caption)
{
    if (!target) {
        report(false, caption);
        return false;
    }
    // A failed write has said so, naming the file; it was no cancel.
    if (!shell::writeWholeFile(shell_, *target, bytes))
        return false;
    report(true, caption);
    return true;
}

void TessivoSession::report(bool saved, std::string_view caption)
{
    shell_.message(saved ? kSaved : kCancelled, std::string(caption), shell::Buttons::Ok, shell::Icon::None);
}

}  // namespace sprite
