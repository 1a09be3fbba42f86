#pragma once
// The dialog filters of the files the sprite tools read and write.

#include <string_view>

namespace sprite {

inline constexpr std::string_view kSpriteFileFilterName = "スプライトデータ(*.dat)";
inline constexpr std::string_view kPaletteOpenFilterName = "パレット(*.dat)";
inline constexpr std::string_view kPaletteSaveFilterName = "パレットファイル(*.dat)";
inline constexpr std::string_view kDataFilePattern = "*.dat";
inline constexpr std::string_view kRomFilterName = "*.gba";
inline constexpr std::string_view kRomFilePattern = "*.gba";
inline constexpr std::string_view kBitmapFilterName = "ビットマップ(*.bmp)";
inline constexpr std::string_view kBitmapFilePattern = "*.bmp";
inline constexpr std::string_view kPngFilterName = "PNG画像(*.png)";
inline constexpr std::string_view kPngFilePattern = "*.png";
inline constexpr std::string_view kAllFilesFilterName = "すべてのファイル(*.*)";
inline constexpr std::string_view kAllFilesPattern = "*.*";

}  // namespace sprite
