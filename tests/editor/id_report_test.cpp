#include "editor/id_report.hpp"

#include "shell/text_encoding.hpp"
#include "tests/editor/editor_test_support.hpp"

#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace editor_test;

std::string repeated(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

const std::string kNone = "   ID:FFFF\r\n";

std::string weaponSections(const std::string& sprites, const std::string& pallets,
                           const std::string& motions)
{
    return " スプライト\r\n" + sprites + " パレット\r\n" + pallets + " 動きとパーツ描画ルーチン\r\n" +
           motions + " 影とシステムアニメ位置設定ルーチン\r\n" + repeated(kNone, 4) +
           " カットインやスクロール等設定ルーチン\r\n" + repeated(kNone, 4);
}

TEST(IdReportTest, ReportNamesEveryReferenceAndTheFileThatHoldsIt)
{
    const UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    const std::string expected =
        "アイ\r\n立ち絵（防御時のグラフィック）\r\n"
        " スプライト\r\n   ID:3[sprite0.dat]\r\n"
        " BGTileMap\r\n   ID:5[bgmap.dat]\r\n"
        "ユニットアニメ\r\n"
        " スプライト\r\n   ID:7[sprite1.dat]\r\n" + repeated(kNone, 15) +
        " パレット\r\n   ID:8[Pallet1.dat]\r\n" + repeated(kNone, 15) +
        " 動きとパーツ描画ルーチン\r\n   ID:A[motion0.dat]\r\n" + repeated(kNone, 7) +
        " 影とシステムアニメ位置設定ルーチン\r\n   ID:B[shadow0.dat]\r\n" + repeated(kNone, 7) +
        " カットインやスクロール等設定ルーチン\r\n   ID:C[cutin0.dat]\r\n" + repeated(kNone, 7) +
        "ウ\r\n" +
        weaponSections("   ID:3[sprite0.dat]\r\n" + repeated(kNone, 9),
                       repeated(kNone, 2) + "   ID:9[Pallet2.dat]\r\n" + repeated(kNone, 7),
                       "   ID:A[motion0.dat]\r\n" + repeated(kNone, 3)) +
        "エ\r\n" + weaponSections(repeated(kNone, 10), repeated(kNone, 10), repeated(kNone, 4));
    EXPECT_EQ(shell::sjisToUtf8(BuildIdReport(set, characterTable())), expected);
}

TEST(IdReportTest, LookupsStopAtEachCount)
{
    UnitDataSet set = readUnit(sceneImage(), kSceneUnit);
    set.bNumFixedWeapon = 0;
    set.bNumSprite = 1;                 // sprite 7 is now beyond the count
    set.wIdPallet[5] = 0xFFFF;          // a stale entry beyond the count
    set.wIdBGMap = 0xFFFF;
    set.anime.wIdBGMap = 0xFFFF;
    const std::string report = shell::sjisToUtf8(BuildIdReport(set, characterTable()));
    EXPECT_NE(report.find(" スプライト\r\n   ID:7\r\n"), std::string::npos);
    EXPECT_NE(report.find(" BGTileMap\r\n   ID:FFFF\r\n"), std::string::npos);
    EXPECT_EQ(report.find("FFFF["), std::string::npos);
    // Without weapons the report ends after the header's cut-in section.
    EXPECT_TRUE(report.ends_with(" カットインやスクロール等設定ルーチン\r\n   ID:C[cutin0.dat]\r\n" +
                                 repeated(kNone, 7)));
}

}  // namespace
