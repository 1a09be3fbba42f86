#include "sprite/tessivo_session.hpp"

#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "sprite/data_files.hpp"
#include "sprite/png_file.hpp"

namespace sprite {

TessivoSession::TessivoSession(shell::Shell& shell) : shell_(shell) {}

bool TessivoSession::loadBitmap()
{
    const std::optional<shell::OpenedFile> opened = shell::openAndReadFile(
        shell_, shell::makeFilter({{std::string(kBitmapFilterName), std::string(kBitmapFilePattern)},
                                   {std::string(kPngFilterName), std::string(kPngFilePattern)}}));
    if (!opened)
        return false;
    // The file's own signature decides, whatever its name; anything not PNG meets the bitmap
    // reader's tests.
    BitmapReading reading = isPngFile(opened->bytes) ? readPngBitmap(opened->bytes) : readBitmap(opened->bytes);
    if (!reading.bitmap) {
        shell_.message(reading.refusal, std::nullopt, shell::Buttons::Ok, shell::Icon::None);
        return false;
    }
    bitmap_ = std::move(reading.bitmap);
    bitmapPath_ = opened->path;
    return true;
}

bool TessivoSession::makeSpriteFile(SpriteEncoding encoding)
{
    if (!bitmap_)
        return false;
    return save(spriteFileOf(*bitmap_, encoding), kSpriteFileFilterName, kSpriteReportCaption);
}

bool TessivoSession::makePaletteFile()
{
    if (!bitmap_)
        return false;
    return save(paletteFileOf(*bitmap_), kPaletteSaveFilterName, kPaletteReportCaption);
}

namespace {

std::string saveFilter(std::string_view filterName)
{
    return shell::makeFilter({{std::string(filterName), std::string(kDataFilePattern)},
                              {std::string(kAllFilesFilterName), std::string(kAllFilesPattern)}});
}

}  // namespace

bool TessivoSession::makeSpriteAndPaletteFiles(SpriteEncoding encoding)
{
    if (!bitmap_)
        return false;
    const std::optional<std::filesystem::path> spritePath =
        shell_.askSavePath(saveFilter(kSpriteFileFilterName), shell::kSaveDialogTitle);
    const std::optional<std::filesystem::path> palettePath =
        spritePath ? shell_.askSavePath(saveFilter(kPaletteSaveFilterName), shell::kSaveDialogTitle)
                   : std::nullopt;
    if (!spritePath || !palettePath) {
        report(false, kSpriteReportCaption);
        report(false, kPaletteReportCaption);
        return false;
    }
    const shell::Bytes sprite = spriteFileOf(*bitmap_, encoding);
    const shell::Bytes palette = paletteFileOf(*bitmap_);
    const shell::FileToWrite files[] = {{*spritePath, sprite}, {*palettePath, palette}};
    // A failed write has said so, naming the file; it was no cancel.
    if (!shell::writeWholeFiles(shell_, files))
        return false;
    report(true, kSpriteReportCaption);
    report(true, kPaletteReportCaption);
    return true;
}

bool TessivoSession::save(shell::ByteSpan bytes, std::string_view filterName, std::string_view caption)
{
    const std::optional<std::filesystem::path> path =
        shell_.askSavePath(saveFilter(filterName), shell::kSaveDialogTitle);
    if (!path) {
        report(false, caption);
        return false;
    }
    // A failed write has said so, naming the file; it was no cancel.
    if (!shell::writeWholeFile(shell_, *path, bytes))
        return false;
    report(true, caption);
    return true;
}

void TessivoSession::report(bool saved, std::string_view caption)
{
    shell_.message(saved ? kSaved : kCancelled, std::string(caption), shell::Buttons::Ok, shell::Icon::None);
}

}  // namespace sprite
