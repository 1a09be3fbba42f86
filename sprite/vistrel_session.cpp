#include "sprite/vistrel_session.hpp"

#include "shell/files.hpp"

namespace sprite {
namespace {

bool fitsIn(std::size_t size, std::uint64_t offset, std::uint64_t length)
{
    return offset <= size && length <= size - offset;
}

}  // namespace

SheetShortfall shortfallOf(const rom::Lz77Decoding& decoded)
{
    return {decoded.bytes.size(), decoded.bytes.size() - decoded.produced};
}

std::string shortfallWarning(const SheetShortfall& shortfall)
{
    return "スプライトのデータが途中で終わっています: " + std::to_string(shortfall.declared) +
           " バイトのうち " + std::to_string(shortfall.missing) + " バイトが足りません";
}

VistrelSession::VistrelSession(shell::Shell& shell) : shell_(shell), random_(std::random_device{}()) {}

SpriteFileLoad VistrelSession::openSpriteFile(const std::filesystem::path& path)
{
    spritePath_ = path;
    return loadSpriteFile();
}

void VistrelSession::openPaletteFile(const std::filesystem::path& path)
{
    palettePath_ = path;
    loadPaletteFile();
    // Without a sprite path there is nothing to draw again, and no file to fail on.
    if (!spritePath_.empty())
        loadSpriteFile();
}

bool VistrelSession::replaceRom(const std::optional<std::filesystem::path>& path)
{
    rom_ = {};
    romLoaded_ = false;
    // The field shows no path for an image that is gone.
    romPath_.clear();
    return path && openRomFile(*path);
}

bool VistrelSession::openRomFile(const std::filesystem::path& path)
{
    std::optional<shell::Bytes> bytes = shell::readWholeFile(shell_, path);
    if (!bytes)
        return false;
    openRomImage(std::move(*bytes), path);
    return true;
}

void VistrelSession::openRomImage(shell::Bytes image, const std::filesystem::path& path)
{
    rom_ = std::move(image);
    romPath_ = path;
    romLoaded_ = true;
    showRomStream();
}

void VistrelSession::setSpriteAddress(std::uint32_t address)
{
    spriteAddress_ = address;
    if (romLoaded_)
        showRomStream();
}

bool VistrelSession::setPaletteAddress(std::uint32_t address)
{
    paletteAddress_ = address;
    paletteSet_ = true;
    if (!romLoaded_)
        return true;
    const std::uint64_t bankAddress = address + std::uint64_t{paletteBank_} * kPaletteBytes;
    const bool inside = fitsIn(rom_.size(), bankAddress, kPaletteBytes);
    if (inside) {
        palette_ = paletteFromBytes(shell::ByteSpan(rom_).subspan(static_cast<std::size_t>(bankAddress), kPaletteBytes));
    } else {
        shell_.message(kPaletteAddressOutsideRom, std::string(kErrorCaption), shell::Buttons::Ok,
                       shell::Icon::Warning);
    }
    showRomStream();
    return inside;
}

void VistrelSession::reloadFiles()
{
    if (!palettePath_.empty())
        loadPaletteFile();
    if (!spritePath_.empty())
        loadSpriteFile();
}

SpriteFileLoad VistrelSession::loadSpriteFile()
{
    const std::optional<shell::Bytes> bytes = shell::readWholeFile(shell_, spritePath_);
    if (!bytes)
        return SpriteFileLoad::Unreadable;
    if (bytes->empty() || bytes->front() != rom::kLz77Type)
        return SpriteFileLoad::NotSpriteData;
    showDecoded(canvasHeightOfStream(*bytes, 0), rom::lz77Decode(*bytes, 0));
    return SpriteFileLoad::Shown;
}

bool VistrelSession::loadPaletteFile()
{
    const std::optional<shell::Bytes> bytes = shell::readWholeFile(shell_, palettePath_);
    if (!bytes)
        return false;
    const std::size_t start = paletteBank_ * kPaletteBytes;
    // A file cut inside the bank gives black for the colours it lacks, as a short file does.
    if (paletteBank_ > 0 && start >= bytes->size()) {
        // Only the command line asks for another bank than the first.
        const std::size_t banks = (bytes->size() + kPaletteBytes - 1) / kPaletteBytes;
        shell_.message("パレットファイルにバンク " + std::to_string(paletteBank_) + " がありません (バンク数 " +
                           std::to_string(banks) + ")",
                       std::string(kErrorCaption), shell::Buttons::Ok, shell::Icon::Warning);
        return false;
    }
    palette_ = paletteFromBytes(shell::ByteSpan(*bytes).subspan(start));
    paletteSet_ = true;
    return true;
}

void VistrelSession::showRomStream()
{
    // An address outside the image shows nothing, and says why. A stream that runs off the image
    // shows what the image holds of it, as a cut sprite file does.
    if (!fitsIn(rom_.size(), spriteAddress_, rom::kLz77HeaderSize)) {
        canvas_.reset();
        shortfall_ = {};
        shell_.message(kSpriteAddressOutsideRom, std::string(kErrorCaption), shell::Buttons::Ok,
                       shell::Icon::Warning);
        return;
    }
    showDecoded(canvasHeightOfStream(rom_, spriteAddress_), rom::lz77Decode(rom_, spriteAddress_));
}

void VistrelSession::showDecoded(int height, const rom::Lz77Decoding& decoded)
{
    if (!paletteSet_)
        palette_ = randomPalette(random_);
    canvas_ = drawSheet(height, decoded.bytes, palette_);
    shortfall_ = shortfallOf(decoded);
}

}  // namespace sprite
