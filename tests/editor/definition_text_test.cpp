#include "editor/definition_text.hpp"
#include "editor/unit_all_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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
    ParseDefinitionText(write(written), keys(read));
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
        ParseDefinitionText(UnitDataText(written), unitDataKeys(read));
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
    ParseUnitAllText(UnitAllText(written), read);
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
    const auto missing = [](const std::string& index) {
        UnitDataSet read;
        ParseUnitAllText(index, read);
        return MissingUnitAllLine(index, read);
    };
    EXPECT_EQ(missing(text), std::nullopt);
    EXPECT_EQ(missing(""), "[bNumFixedWeapon]");
    EXPECT_EQ(missing(text.substr(0, text.find("[dwAdrMotionPart:0]"))), "[dwAdrShadowEtc:0]");
    EXPECT_EQ(missing(text.substr(0, text.find("[wIdSprite:1]"))), "[wIdSprite:1]");

    // An element is found by its index as the parser reads it; entries beyond the count may go.
    EXPECT_EQ(missing("[bNumFixedWeapon]=0\r\n[bNumSprite]=1\r\n[bNumPallet]=0\r\n[bNumMotionPart]=0\r\n"
                      "[bNumShadowEtc]=0\r\n[bNumCutinScroll]=0\r\n[wIdSprite: 00]=3\r\n"),
              std::nullopt);
    // A count beyond the list's capacity asks only for the entries the list can hold.
    UnitDataSet many;
    many.bNumSprite = 32;
    std::string tooMany = UnitAllText(many);
    tooMany.replace(tooMany.find("[bNumSprite]=32"), 15, "[bNumSprite]=200");
    EXPECT_EQ(missing(tooMany), std::nullopt);
}

TEST(DefinitionTextTest, ParserTakesOnlyTheKeysItFindsNarrowedToTheirFields)
{
    rom::BGMAP bgMap{0x08001000, 0, 9};
    ParseDefinitionText("[TYPE]=BGMAP\r\n[wSize]=2\r\n", bgMapKeys(bgMap));
    EXPECT_EQ(bgMap.dwAddress, 0x08001000u);
    EXPECT_EQ(bgMap.wSize, 2);
    EXPECT_EQ(bgMap.wParam1, 9);

    rom::UnitDataRecord unit{};
    ParseDefinitionText("[wWeapon:3]=&HFFFF\r\n[wWeapon:12]=5\r\n[bUnitName:-1]=5\r\n"
                        "[bUnitName:32]=7\r\n[wWeapon: 0]=4\r\n[bUnitName:&H1F]=300\r\n",
                        unitDataKeys(unit));
    EXPECT_EQ(unit.wWeapon[3], 0xFFFF);
    EXPECT_EQ(unit.wWeapon[0], 4);  // the index is read as a number, blanks first
    EXPECT_EQ(unit.bUnitName[31], 300 & 0xFF);
    EXPECT_EQ(std::count(unit.bUnitName.begin(), unit.bUnitName.end(), 0), 31);

    rom::UNIT_ANIME_HEADER anime{};
    anime.wIdUnit = 77;
    ParseDefinitionText("[widunit]=1\r\n[WIDUNIT]=2\r\n[wIdSprite1_1]=300\r\n[wIdPallet1_1]=65537\r\n"
                        "[wIdBGMap]=  12  \r\n[wParamBG]=-1\r\n[wIdSpriteBG]=\t2.9\r\n[TYPE]=3\r\n"
                        "[wIdMotionPart1]=&o17\r\n[wIdShadowEtc1]=&h1f\r\n[wIdCutinScroll1]=abc\r\n"
                        "[wParam1]=+8x\r\n[wIdSprite2_1]=4294967296\r\n[wPatternExplosion]=5",
                        unitAnimeKeys(anime));
    EXPECT_EQ(anime.wIdUnit, 77);
    EXPECT_EQ(anime.motion[0].wIdSprite_1, 300);
    EXPECT_EQ(anime.motion[0].wIdPallet_1, 1);
    EXPECT_EQ(anime.wIdBGMap, 12);
    EXPECT_EQ(anime.wParamBG, 0xFFFF);
    EXPECT_EQ(anime.wIdSpriteBG, 2);
    EXPECT_EQ(anime.motion[0].wIdMotionPart, 017);
    EXPECT_EQ(anime.motion[0].wIdShadowEtc, 0x1F);
    EXPECT_EQ(anime.motion[0].wIdCutinScroll, 0);
    EXPECT_EQ(anime.motion[0].wParam, 8);
    EXPECT_EQ(anime.motion[1].wIdSprite_1, 0);
    EXPECT_EQ(anime.wPatternExplosion, 5);  // a last line without CR LF keeps its last digit
}

TEST(DefinitionTextTest, ParserSearchesForwardForKeysAndValues)
{
    rom::BGMAP bgMap{1, 2, 3};
    // A line without brackets takes the key of the next pair, and a value only from its own line.
    ParseDefinitionText("junk=7\r\n[wSize]=4\r\n\r\n[wParam1]=6\r\n[dwAddress]", bgMapKeys(bgMap));
    EXPECT_EQ(bgMap.wSize, 4);
    EXPECT_EQ(bgMap.wParam1, 6);
    EXPECT_EQ(bgMap.dwAddress, 0u);  // a key without "=": no digits
    rom::BGMAP later{1, 2, 3};
    ParseDefinitionText("[wSize]=4\r\n[wSize]=5\r\n[wParam1", bgMapKeys(later));
    EXPECT_EQ(later.wSize, 5);
    EXPECT_EQ(later.wParam1, 3);
}

TEST(DefinitionTextTest, LongTextsWithFarKeysReadInOnePass)
{
    // Each line takes the key of a pair far ahead; the key and its bracket are found once. A parse
    // that searched again from every line needed hours for texts of this size.
    const std::size_t lines = 1'000'000;
    std::string farKey;
    for (std::size_t i = 0; i < lines; ++i)
        farKey += "=7\r\n";
    farKey += "[wSize]=4";
    rom::BGMAP bgMap{1, 2, 3};
    ParseDefinitionText(farKey, bgMapKeys(bgMap));
    EXPECT_EQ(bgMap.wSize, 4);

    // One "]" for a million opening brackets, and an element index a million digits long.
    std::string farClose;
    for (std::size_t i = 0; i < lines; ++i)
        farClose += "[\r\n";
    farClose += "]=1\r\n\r\n" + std::string(lines, '\n') + "[wIdSprite:" + std::string(lines, '0') + "3]=9";
    UnitDataSet set;
    ParseUnitAllText(farClose, set);
    EXPECT_EQ(set.wIdSprite[3], 9);
}

TEST(DefinitionTextTest, NumbersReadAsTheToolsAlwaysReadThem)
{
    EXPECT_EQ(ReadNumber("42"), 42);
    EXPECT_EQ(ReadNumber("  \t-3.75xyz"), -3.75);
    EXPECT_EQ(ReadNumber("&HfF"), 255);
    EXPECT_EQ(ReadNumber("&O777"), 511);
    EXPECT_EQ(ReadNumber("&O8"), 0);
    EXPECT_EQ(ReadNumber("& H1"), 0);
    EXPECT_EQ(ReadNumber(""), 0);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(fieldBitsOf(-1), UINT64_MAX);
    EXPECT_EQ(fieldBitsOf(-3.75), static_cast<std::uint64_t>(-3));
    EXPECT_EQ(fieldBitsOf(4294967297.9), 4294967297u);
    EXPECT_EQ(fieldBitsOf(ReadNumber(std::string(400, '9'))), 0u);
}

}  // namespace
