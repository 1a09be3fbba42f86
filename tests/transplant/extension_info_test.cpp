#include "transplant/extension_info.hpp"

#include "tests/support/synthetic_rom.hpp"

#include <gtest/gtest.h>

namespace {

using rom::ResourceKind;

TEST(ExtensionInfo, PresetDescribesTheTablesOfAnUnextendedImage)
{
    const transplant::ExtensionInfo info = transplant::presetExtensionInfo();
    EXPECT_TRUE(info.loaded);
    struct Expected {
        ResourceKind kind;
        std::uint32_t address;
        std::uint16_t lastId;
        std::uint16_t size;
    };
    const Expected expected[] = {
        {ResourceKind::Sprite, 0xF1FA7C, 820, 4},
        {ResourceKind::Pallet, 0xF20750, 634, 4},
        {ResourceKind::BGMap, 0x9C085C, 500, 8},
        {ResourceKind::MotionPart, 0xF3088C, 1234, 4},
        {ResourceKind::ShadowEtc, 0xF31BD8, 1095, 4},
        {ResourceKind::CutinScroll, 0xF32CF8, 1062, 4},
        {ResourceKind::GraphicDifinition, 0x9D64F0, 165, 8},
        {ResourceKind::SystemAnime, 0x9D5D80, 119, 16},
        {ResourceKind::UnitCutin, 0x9D6A20, 72, 40},
        {ResourceKind::IconData, 0x1498F4, 100, 384},
    };
    for (const Expected& table : expected) {
        const transplant::ExtensionTable& entry = info.table(table.kind);
        EXPECT_EQ(entry.dwAddress, table.address) << rom::kindName(table.kind);
        EXPECT_EQ(entry.wNumLastEntryId, table.lastId) << rom::kindName(table.kind);
        EXPECT_EQ(entry.wSizeItem, table.size) << rom::kindName(table.kind);
    }
}

TEST(ExtensionInfo, StatusListsTwoTablesPerLine)
{
    synthetic::RomBuilder builder;
    const auto directory = rom::readTableDirectory(builder.image());
    ASSERT_TRUE(directory);

    EXPECT_EQ(transplant::ShowExtendStatus(transplant::presetExtensionInfo(), *directory),
              "拡張情報 読み込み済\r\n"
              "Sprite\t00F1FA7C\t0334\tPallet\t00F20750\t027A\t\r\n"
              "BGMap\t009C085C\t01F4\t描画R1\t00F3088C\t04D2\t\r\n"
              "描画R2\t00F31BD8\t0447\t描画R3\t00F32CF8\t0426\t\r\n"
              "グラ定義\t009D64F0\t00A5\tSysAnime\t009D5D80\t0077\t\r\n"
              "UnitCutin\t009D6A20\t0048\tIconData\t001498F4\t0064\t\r\n");

    // Without info the offsets still come from the directory; the last IDs are unknown.
    const std::string none = transplant::ShowExtendStatus(transplant::ExtensionInfo(), *directory);
    EXPECT_EQ(none.substr(0, none.find('\n') + 1), "拡張情報 なし\r\n");
    EXPECT_NE(none.find("Sprite\t00F1FA7C\t0000\t"), std::string::npos);
}

}  // namespace
