#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/support/character_table_file.hpp"
#include "tests/support/record_descriptions.hpp"

namespace synthetic {
namespace {

// Decoding by the lookup rule of the game text: the first occurrence of the key anywhere in the
// table, then the two bytes after the next comma.
std::string decode(const Bytes& codes, const std::string& table) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < codes.size() && codes[i] != 0xFF;) {
    std::string key{kDigits[codes[i] >> 4], kDigits[codes[i] & 0xF]};
    if (codes[i++] >= 0xC0) {
      key += ' ';
      key += kDigits[codes[i] >> 4];
      key += kDigits[codes[i++] & 0xF];
    }
    const std::size_t at = table.find(key);
    const std::size_t comma = table.find(',', at == std::string::npos ? 0 : at);
    text += table.substr(comma + 1, 2);
  }
  return text;
}

TEST(CharacterTable, EveryLineIsKeyCommaTwoBytesCrLf) {
  const std::string table = makeCharacterTableFile();
  std::size_t lines = 0;
  bool twoByteSeen = false;
  for (std::size_t at = 0; at < table.size(); ++lines) {
    const std::size_t end = table.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    const std::string line = table.substr(at, end - at);
    const bool twoByte = line.size() == 8;
    ASSERT_TRUE(line.size() == 5 || twoByte) << line;
    EXPECT_EQ(line[line.size() - 3], ',');
    EXPECT_GE(static_cast<unsigned char>(line[line.size() - 2]), 0x81);
    EXPECT_FALSE(twoByteSeen && !twoByte) << "one-byte keys come first";
    twoByteSeen = twoByteSeen || twoByte;
    at = end + 2;
  }
  EXPECT_EQ(lines, 192u + 62u + 2u);
}

TEST(CharacterTable, EncodedTextDecodesToItsShiftJis) {
  const std::string table = makeCharacterTableFile();
  for (const char* text : {"ガルディオン改", "ＸＡ０１", "ぁあぃいゎわゐゑをん", "斬艦剣・ー　"}) {
    EXPECT_EQ(decode(encodeGameText(text), table), shiftJisOf(text)) << text;
  }
  EXPECT_EQ(shiftJisOf("ＸＡ０１"), "\x82\x77\x82\x60\x82\x4F\x82\x50");
  EXPECT_EQ(encodeGameText("０Ａ"), (Bytes{0x00, 0x0A}));
  EXPECT_THROW(encodeGameText("A"), std::invalid_argument);
  EXPECT_THROW(encodeGameText("粒"), std::invalid_argument);
}

TEST(CharacterTable, EmptyMarkersDecodeToReadableText) {
  const std::string table = makeCharacterTableFile();
  EXPECT_EQ(decode(emptyUnitName(), table), shiftJisOf("ダミー機"));
  EXPECT_EQ(decode(emptyWeaponName(), table), shiftJisOf("空欄"));
  for (const std::uint8_t code : Bytes{0xBA, 0xA9, 0x90, 0x95}) {
    for (const char* text : {"ダ", "ミ", "ー", "機"}) {
      EXPECT_NE(encodeGameText(text).front(), code) << "marker codes are never produced";
    }
  }
}

}  // namespace
}  // namespace synthetic
