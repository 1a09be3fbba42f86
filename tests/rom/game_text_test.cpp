#include "rom/game_text.hpp"


#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

using rom::AbsentCodeRule;
using rom::CharacterTable;
using rom::DecodeGameText;

std::string decode(std::vector<std::uint8_t> bytes, const std::string& table,
                   std::size_t maxLength = 32, AbsentCodeRule rule = AbsentCodeRule::CharacterAfterFirstComma)
{
    return DecodeGameText(bytes, maxLength, CharacterTable(table), rule);
}

// The decoder as the rules state it, searching the table from its start for every code.
std::string referenceDecode(const std::vector<std::uint8_t>& encoded, std::size_t maxLength,
                            const std::string& table, AbsentCodeRule rule)
{
    std::string result;
    std::size_t i = 0;
    do {
        if (i >= encoded.size())
            break;
        const unsigned first = encoded[i++];
        if (first == 0xFF)
            break;
        char key[8];
        if (first < 0xC0) {
            std::snprintf(key, sizeof key, "%02X", first);
        } else {
            if (i >= encoded.size())
                break;
            std::snprintf(key, sizeof key, "%02X %02X", first, unsigned{encoded[i++]});
        }
        const std::size_t at = table.find(key);
        std::size_t comma;
        if (at == std::string::npos && rule == AbsentCodeRule::FirstTableBytes)
            comma = std::string::npos;
        else
            comma = table.find(',', at == std::string::npos ? 0 : at);
        const std::size_t start = comma == std::string::npos ? 0 : comma + 1;
        if (start < table.size())
            result += table.substr(start, 2);
    } while (i < maxLength);
    return result;
}

TEST(GameText, KeysAreTwoDigitsOrTwoPairsWithASpace)
{
    const std::string table = "0A,ab\r\n41,cd\r\nC1 2A,ef\r\n";
    EXPECT_EQ(decode({0x0A, 0x41, 0xC1, 0x2A, 0xFF}, table), "abcdef");
    EXPECT_EQ(decode({0xFF, 0x41}, table), "");
}

TEST(GameText, FirstOccurrenceWinsEvenInsideAnotherEntry)
{
    // "41" first occurs inside the key "C1 41", so code 0x41 takes that entry's character.
    const std::string table = "C1 41,xx\r\n41,yy\r\n";
    EXPECT_EQ(decode({0x41, 0xFF}, table), "xx");
    // Lower-case digits are not keys: the search is case-sensitive.
    EXPECT_EQ(decode({0x4A, 0xFF}, "4a,zz\r\n4A,ok\r\n"), "ok");
}

TEST(GameText, AbsentCodesDifferBetweenTheTools)
{
    const std::string table = "XY,first\r\n41,cd\r\n";
    EXPECT_EQ(decode({0x42, 0xFF}, table), "fi");  // the character after the first comma
    EXPECT_EQ(decode({0x42, 0xFF}, table, 32, AbsentCodeRule::FirstTableBytes), "XY");
}

TEST(GameText, TheFieldLimitsDecodingButATwoByteCodeMayEndPastIt)
{
    const std::string table = "41,aa\r\nC1 42,bb\r\n";
    // No 0xFF: decoding stops after the maximum length.
    EXPECT_EQ(decode({0x41, 0x41, 0x41}, table, 2), "aaaa");
    // A two-byte code starting at the last byte of the field takes one byte beyond it...
    EXPECT_EQ(decode({0x41, 0xC1, 0x42, 0x41}, table, 2), "aabb");
    // ...but never beyond the buffer: a code cut off by the buffer's end ends the name.
    EXPECT_EQ(decode({0x41, 0xC1}, table, 2), "aa");
}

TEST(GameText, AnEmptyTableDecodesEverythingToNothing)
{
    EXPECT_EQ(decode({0x41, 0xC1, 0x2A, 0x0A}, ""), "");
}

TEST(GameText, AMissingCommaOrAShortTailNeverReadsPastTheTable)
{
    EXPECT_EQ(decode({0x41, 0xFF}, "41 no comma"), "41");    // no comma: the table's first bytes
    EXPECT_EQ(decode({0x41, 0xFF}, "41,x"), "x");            // one byte left after the comma
    EXPECT_EQ(decode({0x41, 0xFF}, "41,"), "");              // none left
}

TEST(GameText, IndexedLookupMatchesAPlainSearchOnRandomTables)
{
    std::mt19937 random(12345);
    const std::string alphabet = "0123456789ABCDEFa ,\r\n\x82\xA0";
    for (int round = 0; round < 300; ++round) {
        std::string table;
        const int length = std::uniform_int_distribution<>(0, 200)(random);
        for (int i = 0; i < length; ++i)
            table += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        std::vector<std::uint8_t> name(std::uniform_int_distribution<>(0, 40)(random));
        for (auto& byte : name)
            byte = static_cast<std::uint8_t>(std::uniform_int_distribution<>(0, 255)(random));
        const std::size_t maxLength = std::uniform_int_distribution<std::size_t>(1, 34)(random);
        const CharacterTable indexed(table);
        for (AbsentCodeRule rule : {AbsentCodeRule::CharacterAfterFirstComma, AbsentCodeRule::FirstTableBytes}) {
            ASSERT_EQ(DecodeGameText(name, maxLength, indexed, rule),
                      referenceDecode(name, maxLength, table, rule))
                << "round " << round;
        }
    }
}

TEST(GameText, ATableFileThatCouldNotBeReadGivesAnEmptyTable)
{
    EXPECT_TRUE(rom::characterTableFrom(std::nullopt).bytes().empty());
}

}  // namespace
