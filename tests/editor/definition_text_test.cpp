#include "editor/definition_text.hpp"
#include "editor/unit_all_text.hpp"

#include <gtest/gtest.h>

#include <expected>
#include <random>

namespace {

using namespace editor;

std::size_t lineCount(const std::string& text)
{
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

// A record whose every byte is random.
template <class Record>
Record randomRecord(std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::array<std::uint8_t, Record::kSize> bytes{};
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return rom::parseRecord<Record>(bytes);
}

template <class Record>
void expectRoundTrip(std::string (*write)(const Record&), KeyTable (*keys)(Record&),
                     std::uint32_t seed)
{
    const Record written = randomRecord<Record>(seed);
    Record read = randomRecord<Record>(seed + 1);
    ASSERT_TRUE(ReadRecordText(write(written), keys(read), "record.dat").has_value());
    EXPECT_EQ(rom::serializeRecord(read), rom::serializeRecord(written)) << seed;
}

TEST(DefinitionTextTest, WritersWriteEveryFieldWithTheirExactLineCounts)
{
    const std::string unit = UnitDataText(randomRecord<rom::UnitDataRecord>(1));
    const std::string anime = UnitAnimeText(randomRecord<rom::UNIT_ANIME_HEADER>(2));
    const std::string fixed = FixedAnimeText(randomRecord<rom::FIXED_ANIME_HEADER>(3));
    const std::string weapon = WeaponText(randomRecord<rom::WEAPON_DATA>(4));
    const std::string bgMap = BGMapText(rom::BGMAP{0x08123456, 2, 65535});
    EXPECT_EQ(lineCount(unit), 80u);
    EXPECT_EQ(lineCount(anime), 71u);
    EXPECT_EQ(lineCount(fixed), 39u);
    EXPECT_EQ(lineCount(weapon), 56u);
    EXPECT_EQ(bgMap, "[TYPE]=BGMAP\r\n[dwAddress]=135410774\r\n[wSize]=2\r\n[wParam1]=65535\r\n");
    EXPECT_EQ(lineCount(UnitAllText(UnitDataSet())), 9u + 12u + 64u + 144u + 144u);

    EXPECT_EQ(unit.substr(0, unit.find("\r\n")), "[dwMaxHP]=" + std::to_string(
                                                      randomRecord<rom::UnitDataRecord>(1).dwMaxHP));
    EXPECT_NE(unit.find("\r\n[bPilot4]="), std::string::npos);
    EXPECT_NE(unit.find("\r\n[wWeapon:11]="), std::string::npos);
    EXPECT_TRUE(unit.ends_with("\r\n") && unit.find("[bUnitName:31]=") != std::string::npos);
    EXPECT_TRUE(anime.starts_with("[TYPE]=UNIT_ANIME_HEADER\r\n[wIdUnit]="));
    EXPECT_NE(anime.find("\r\n[wIdCutinScroll8]="), std::string::npos);
    EXPECT_TRUE(anime.substr(anime.rfind("\r\n", anime.size() - 3)).starts_with("\r\n[wParam8]="));
    EXPECT_TRUE(fixed.starts_with("[TYPE]=FIXED_ANIME_HEADER\r\n[wIdWeapon]="));
    EXPECT_TRUE(weapon.starts_with("[TYPE]=WEAPON_DATA\r\n[bWeaponType1]="));
    EXPECT_NE(weapon.find("\r\n[bWeaponName:31]="), std::string::npos);
}

TEST(DefinitionTextTest, EveryRecordReadsBackAsWrittenButTheUnnamedByte)
{
    for (std::uint32_t seed = 10; seed < 15; ++seed) {
        expectRoundTrip(UnitAnimeText, unitAnimeKeys, seed);
        expectRoundTrip(FixedAnimeText, fixedAnimeKeys, seed);
        expectRoundTrip(WeaponText, weaponKeys, seed);
        expectRoundTrip(BGMapText, bgMapKeys, seed);

        const auto written = randomRecord<rom::UnitDataRecord>(seed);
        auto read = randomRecord<rom::UnitDataRecord>(seed + 100);
        const std::uint8_t readersByte = read.bUnnamed47;
        ASSERT_TRUE(ReadRecordText(UnitDataText(written), unitDataKeys(read), "unitdt.dat"));
        EXPECT_EQ(read.bUnnamed47, readersByte);
        read.bUnnamed47 = written.bUnnamed47;
        EXPECT_EQ(rom::serializeRecord(read), rom::serializeRecord(written));
    }
}

TEST(DefinitionTextTest, CombinedUnitDataReadsBackEveryIdAndPointer)
{
    UnitDataSet written;
    written.wUnitID = 0x2A;
    written.bNumFixedWeapon = 2;
    written.bNumSprite = 31;
    written.bNumPallet = 5;
    written.bNumMotionPart = 48;
    written.bNumShadowEtc = 1;
    written.bNumCutinScroll = 0;
    written.wIdBGMap = 0xFFFE;
    written.wIdIcon = 100;
    for (std::size_t i = 0; i < kMaxRoutines; ++i) {
        written.wIdMotionPart[i] = static_cast<std::uint16_t>(1000 + i);
        written.dwAdrShadowEtc[i] = static_cast<std::uint32_t>(0x08000000 + 17 * i);
    }
    written.wIdSprite[31] = 9;
    written.wIdFixedWeapon[11] = 0x289;

    UnitDataSet read;
    read.icon.emplace();  // not part of the index: stays
    ASSERT_TRUE(ReadUnitAllText(UnitAllText(written), read));
    EXPECT_EQ(read.wUnitID, written.wUnitID);
    EXPECT_EQ(read.bNumMotionPart, 48);
    EXPECT_EQ(read.bNumSprite, 31);
    EXPECT_EQ(read.wIdBGMap, 0xFFFE);
    EXPECT_EQ(read.wIdIcon, 100);
    EXPECT_EQ(read.wIdMotionPart, written.wIdMotionPart);
    EXPECT_EQ(read.dwAdrShadowEtc, written.dwAdrShadowEtc);
    EXPECT_EQ(read.wIdSprite, written.wIdSprite);
    EXPECT_EQ(read.wIdFixedWeapon, written.wIdFixedWeapon);
    EXPECT_TRUE(read.icon.has_value());

    const std::string text = UnitAllText(written);
    EXPECT_TRUE(text.starts_with("[wUnitID]=42\r\n[bNumFixedWeapon]=2\r\n"));
    EXPECT_NE(text.find("[wIdIcon]=100\r\n[wIdFixedWeapon:0]=65535\r\n"), std::string::npos);
    EXPECT_NE(text.find("[wIdPallet:31]=65535\r\n[wIdSprite:0]=65535\r\n"), std::string::npos);
    EXPECT_NE(text.find("[wIdMotionPart:0]=1000\r\n[wIdShadowEtc:0]=65535\r\n[wIdCutinScroll:0]=65535\r\n"
                        "[wIdMotionPart:1]=1001\r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("[dwAdrMotionPart:47]=0\r\n[dwAdrShadowEtc:47]=134218527\r\n"
                               "[dwAdrCutinScroll:47]=0\r\n"));
}

TEST(DefinitionTextTest, CombinedUnitDataNamesTheFirstLineACutIndexLacks)
{
    UnitDataSet written;
    written.bNumSprite = 2;
    written.bNumShadowEtc = 1;
    const std::string text = UnitAllText(written);
    const auto missing = [](const std::string& index) -> std::string {
        UnitDataSet read;
        const std::expected<void, std::string> result = ReadUnitAllText(index, read);
        return result ? "" : result.error();
    };
    EXPECT_EQ(missing(text), "");
    EXPECT_EQ(missing(""), "unitall.dat に [wUnitID] の行がありません");
    EXPECT_EQ(missing(text.substr(0, text.find("[dwAdrMotionPart:0]"))),
              "unitall.dat に [dwAdrShadowEtc:0] の行がありません");
    EXPECT_EQ(missing(text.substr(0, text.find("[wIdSprite:1]"))),
              "unitall.dat に [wIdSprite:1] の行がありません");
    std::string noIcon = text;
    noIcon.erase(noIcon.find("[wIdIcon]="), noIcon.find("\r\n", noIcon.find("[wIdIcon]=")) + 2 -
                                                noIcon.find("[wIdIcon]="));
    EXPECT_EQ(missing(noIcon), "unitall.dat に [wIdIcon] の行がありません");

    // An element is found by its index as a number; entries beyond the count may go.
    const std::string plain = "[wUnitID]=1\r\n[bNumFixedWeapon]=0\r\n[bNumSprite]=1\r\n[bNumPallet]=0\r\n"
                              "[bNumMotionPart]=0\r\n[bNumShadowEtc]=0\r\n[bNumCutinScroll]=0\r\n"
                              "[wIdBGMap]=5\r\n[wIdIcon]=6\r\n";
    EXPECT_EQ(missing(plain + "[wIdSprite: 00]=3\r\n"), "");
    // A count beyond the list's capacity asks only for the entries the list can hold.
    UnitDataSet many;
    many.bNumSprite = 32;
    std::string tooMany = UnitAllText(many);
    tooMany.replace(tooMany.find("[bNumSprite]=32"), 15, "[bNumSprite]=200");
    EXPECT_EQ(missing(tooMany), "");
}

// Each value of a "[dwMaxHP]" (u32), "[bParam1]" (u8) or "[wWeapon:3]" (u16) line after a first
// line "[TYPE]=X", as the reader takes it: the number stored, or the message.
TEST(DefinitionTextTest, ValuesAreWholeNumbersThatFitTheirFields)
{
    const struct {
        std::string line;
        std::uint32_t stored;
        std::string message;
    } rows[] = {
        {"[dwMaxHP]=4294967295", 4294967295u, ""},
        {"[dwMaxHP]=&HFFFFFFFF", 4294967295u, ""},
        {"[dwMaxHP]=&h1f", 0x1F, ""},
        {"[dwMaxHP]=&O17", 017, ""},
        {"[dwMaxHP]= \t12  ", 12, ""},
        {"  [dwMaxHP] =+8", 8, ""},
        {"[dwMaxHP]=-0", 0, ""},
        {"[dwMaxHP]=12.00", 12, ""},
        {"[bParam1]=255", 255, ""},
        {"[wWeapon:3]=&HFFFF", 0xFFFF, ""},
        {"[wWeapon:&H3]=7", 7, ""},
        {"[dwMaxHP]=abc", 0, "unitdt.dat 2行目: [dwMaxHP]=abc は数値ではありません"},
        {"[dwMaxHP]=", 0, "unitdt.dat 2行目: [dwMaxHP]= は数値ではありません"},
        {"[dwMaxHP]=1 2", 0, "unitdt.dat 2行目: [dwMaxHP]=1 2 は数値ではありません"},
        {"[dwMaxHP]=&H", 0, "unitdt.dat 2行目: [dwMaxHP]=&H は数値ではありません"},
        {"[dwMaxHP]=&O8", 0, "unitdt.dat 2行目: [dwMaxHP]=&O8 は数値ではありません"},
        {"[dwMaxHP]=12x", 0, "unitdt.dat 2行目: [dwMaxHP]=12x は数値ではありません"},
        {"[dwMaxHP] 12", 0, "unitdt.dat 2行目: [dwMaxHP] 12 は数値ではありません"},
        {"[dwMaxHP]=\x82\x50\x01", 0, "unitdt.dat 2行目: [dwMaxHP]=\\x82P\\x01 は数値ではありません"},
        {"[dwMaxHP]=12.5", 0, "unitdt.dat 2行目: [dwMaxHP]=12.5 は整数ではありません"},
        {"[dwMaxHP]=-5", 0, "unitdt.dat 2行目: [dwMaxHP]=-5 は範囲外です (0 から 4294967295)"},
        {"[dwMaxHP]=99999999999", 0,
         "unitdt.dat 2行目: [dwMaxHP]=99999999999 は範囲外です (0 から 4294967295)"},
        {"[dwMaxHP]=" + std::string(400, '9'), 0,
         "unitdt.dat 2行目: [dwMaxHP]=" + std::string(54, '9') + "... は範囲外です (0 から 4294967295)"},
        {"[bParam1]=300", 0, "unitdt.dat 2行目: [bParam1]=300 は範囲外です (0 から 255)"},
        {"[wWeapon:3]=65536", 0, "unitdt.dat 2行目: [wWeapon:3]=65536 は範囲外です (0 から 65535)"},
    };
    for (const auto& row : rows) {
        for (const std::string_view end : {"\r\n", "\n", ""}) {
            rom::UnitDataRecord unit{};
            const auto read =
                ReadDefinitionText("[TYPE]=X\r\n" + row.line + std::string(end), unitDataKeys(unit), "unitdt.dat");
            const std::uint32_t stored = row.line.find("bParam1") != std::string::npos ? unit.bParam1
                                         : row.line.find("wWeapon") != std::string::npos ? unit.wWeapon[3]
                                                                                         : unit.dwMaxHP;
            EXPECT_EQ(read ? "" : read.error(), row.message) << row.line;
            if (read) {
                EXPECT_EQ(stored, row.stored) << row.line;
            }
        }
    }
}

TEST(DefinitionTextTest, LinesThatNameNoFieldArePassedOverAndRecordsNeedEveryKey)
{
    rom::BGMAP bgMap{1, 2, 3};
    // Keys differ by case; an index outside its array names nothing; a key given twice takes its
    // last value; the type line is not compared; lines of another form are passed over.
    const std::string text = "[TYPE]=UNIT_ANIME_HEADER\nwSize=abc\n[WSIZE]=abc\n[wSize:0]=abc\n"
                             "junk\r\n\r\n[wSize]=4\r\n[wSize]=5\n[wParam1]=6\r\n[dwAddress]=7";
    const auto defined = ReadDefinitionText(text, bgMapKeys(bgMap), "hbgmap.dat");
    ASSERT_TRUE(defined.has_value()) << defined.error();
    EXPECT_EQ(defined->plain, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(rom::serializeRecord(bgMap), rom::serializeRecord(rom::BGMAP{7, 5, 6}));
    EXPECT_TRUE(ReadRecordText(text, bgMapKeys(bgMap), "hbgmap.dat").has_value());

    rom::BGMAP partial{1, 2, 3};
    EXPECT_EQ(ReadRecordText("[TYPE]=BGMAP\r\n[wSize]=2\r\n", bgMapKeys(partial), "hbgmap.dat").error(),
              "hbgmap.dat に [dwAddress] の行がありません");
    rom::UnitDataRecord unit{};
    std::string unitText = UnitDataText(unit);
    unitText.erase(unitText.find("[bUnitName:31]="));
    EXPECT_EQ(ReadRecordText(unitText, unitDataKeys(unit), "unitdt.dat").error(),
              "unitdt.dat に [bUnitName:31] の行がありません");
    unitText = UnitDataText(unit);
    unitText.replace(unitText.find("[bUnitName:30]="), 15, "[bUnitName:40]=");
    EXPECT_EQ(ReadRecordText(unitText, unitDataKeys(unit), "unitdt.dat").error(),
              "unitdt.dat に [bUnitName:30] の行がありません");
}

TEST(DefinitionTextTest, LongTextsReadInOnePass)
{
    // A million lines before the key, and an element index a million digits long.
    std::string text;
    for (std::size_t i = 0; i < 1'000'000; ++i)
        text += "=7\r\n[\r\n";
    text += "[wWeapon:" + std::string(1'000'000, '0') + "3]=9";
    rom::UnitDataRecord unit{};
    ASSERT_TRUE(ReadDefinitionText(text, unitDataKeys(unit), "unitdt.dat"));
    EXPECT_EQ(unit.wWeapon[3], 9);
}

}  // namespace
