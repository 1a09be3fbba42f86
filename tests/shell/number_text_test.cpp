#include "shell/file_filter.hpp"
#include "shell/number_text.hpp"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(NumberText, HexHasNoLeadingZerosAndUpperCaseDigits)
{
    EXPECT_EQ(shell::hexText(0), "0");
    EXPECT_EQ(shell::hexText(255), "FF");
    EXPECT_EQ(shell::hexText(0x8000000), "8000000");
}

TEST(NumberText, PaddedAndFixedHex)
{
    EXPECT_EQ(shell::paddedHexText(0x2A, 3), "02A");
    EXPECT_EQ(shell::paddedHexText(0x1234, 3), "1234");
    EXPECT_EQ(shell::fixedHexText(0x4D2, 4), "04D2");
    EXPECT_EQ(shell::fixedHexText(0x12345, 4), "FFFF");
}

TEST(NumberText, DecimalIsPlainUpToFifteenDigits)
{
    EXPECT_EQ(shell::decimalText(256), "256");
    EXPECT_EQ(shell::decimalText(-5), "-5");
    EXPECT_EQ(shell::decimalText(0), "0");
    EXPECT_EQ(shell::decimalText(999999999999999), "999999999999999");
}

TEST(NumberText, DecimalBeyondFifteenDigitsUsesExponentForm)
{
    EXPECT_EQ(shell::decimalText(1000000000000000), "1.00000000000000e+015");
    EXPECT_EQ(shell::decimalText(-1234567890123456789), "-1.23456789012346e+018");
    // Rounding that carries into a new leading digit.
    EXPECT_EQ(shell::decimalText(9999999999999999), "1.00000000000000e+016");
    EXPECT_EQ(shell::decimalText(INT64_MIN), "-9.22337203685478e+018");
}

TEST(NumberText, UnknownBytesArePrintedAsEscapes)
{
    EXPECT_EQ(shell::printableText("K\x1B" "4~\x7F\xE3"), "K\\x1B4~\\x7F\\xE3");
}

TEST(FileFilter, IsDescriptionPatternPairsEndedByAnExtraNul)
{
    const std::string filter = shell::makeFilter({{"スプライトデータ(*.dat)", "*.dat"}});
    EXPECT_EQ(filter, "スプライトデータ(*.dat)\0*.dat\0\0"s);

    const auto entries =
        shell::filterEntries(shell::makeFilter({{"A", "*.a"}, {"B", "*.b;*.c"}}));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].description, "B");
    EXPECT_EQ(entries[1].pattern, "*.b;*.c");
    EXPECT_TRUE(shell::filterEntries("dangling\0"s).empty());
}
