#include "shell/text_encoding.hpp"

#include <gtest/gtest.h>

TEST(TextEncoding, ShiftJisRoundTripsThroughUtf8)
{
    const std::string sjis = "\x83\x86\x83\x6A\x83\x62\x83\x67";  // ユニット
    EXPECT_EQ(shell::sjisToUtf8(sjis), "ユニット");
    EXPECT_EQ(shell::utf8ToSjis("ユニット"), sjis);
    EXPECT_EQ(shell::sjisToUtf8("KX4M"), "KX4M");
}

TEST(TextEncoding, WindowsCharactersOfCodePage932AreKept)
{
    // The wave dash and the circled digit exist only in the Windows variant of Shift-JIS.
    EXPECT_EQ(shell::sjisToUtf8("\x81\x60"), "～");
    EXPECT_EQ(shell::sjisToUtf8("\x87\x40"), "①");
    // Where the Windows code page and iconv part ways, both systems give iconv's results: the wave
    // dash and the minus sign as their full-width look-alikes, 0x80 and U+0080 as no character.
    EXPECT_EQ(shell::utf8ToSjis("〜−"), "\x81\x60\x81\x7C");
    EXPECT_EQ(shell::sjisToUtf8("\x80"), "\xEF\xBF\xBD");
    EXPECT_EQ(shell::utf8ToSjis("\u0080"), "?");
}

TEST(TextEncoding, DamagedBytesAreReplacedNotDropped)
{
    // A lead byte at the end, and a lead byte followed by a byte no character has.
    EXPECT_EQ(shell::sjisToUtf8("A\x83"), "A\xEF\xBF\xBD");
    EXPECT_EQ(shell::sjisToUtf8("\xA0Z"), "\xEF\xBF\xBDZ");
    EXPECT_EQ(shell::utf8ToSjis("a\xF0\x9F\x98\x80z"), "a?z");  // an emoji has no Shift-JIS form
    EXPECT_EQ(shell::utf8ToSjis("\xFF"), "?");
}
