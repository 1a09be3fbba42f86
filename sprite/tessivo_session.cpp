#include "sprite/tessivo_session.hpp"

#include "shell/file_filter.hpp"
#include "shell/files.hpp"
#include "sprite/data_files.hpp"

namespace sprite {

TessivoSession::TessivoSession(shell::Shell& shell) : shell_(shell) {}

bool TessivoSession::loadBitmap()
{
    const std::optional<shell::OpenedFile> opened = shell::openAndReadFile(
        shell_, shell::makeFilter({{std::string(kBitmapFilterName), std::string(kBitmapFilePattern)}}));
    if (!opened)
        return false;
    BitmapReading reading = readBitmap(opened->bytes);
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
    bool saved = false;
    if (spritePath && palettePath) {
        const shell::Bytes sprite = spriteFileOf(*bitmap_, encoding);
        const shell::Bytes palette = paletteFileOf(*bitmap_);
        const shell::FileToWrite files[] = {{*spritePath, sprite}, {*palettePath, palette}};
        saved = shell::writeWholeFiles(shell_, files);
    }
    report(saved, kSpriteReportCaption);
    report(saved, kPaletteReportCaption);
    return saved;
}

bool TessivoSession::save(shell::ByteSpan bytes, std::string_view filterName, std::string_view caption)
{
    const bool saved = shell::saveWithDialog(shell_, saveFilter(filterName), bytes);
    report(saved, caption);
    return saved;
}

void TessivoSession::report(bool saved, std::string_view caption)
{
    shell_.message(saved ? kSaved : kCancelled, std::string(caption), shell::Buttons::Ok, shell::Icon::None);
}

}  // namespace sprite
