#include "tests/support/character_table_file.hpp"

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

#include "tests/support/character_glyphs.hpp"

namespace synthetic {
namespace {

using glyphs::Glyph;

std::string hexByte(unsigned value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
  return text;
}

std::string keyOf(std::uint16_t code) {
  if (code < glyphs::kFirstTwoByteCode) {
    return hexByte(code);
  }
  return hexByte(code >> 8u) + " " + hexByte(code);
}

// The encodable glyphs by their UTF-8 text.
const std::map<std::string, const Glyph*>& glyphsByText() {
  static const std::map<std::string, const Glyph*> table = [] {
    std::map<std::string, const Glyph*> byText;
    for (const Glyph& glyph : glyphs::all()) {
      if (!glyph.decodeOnly) {
        byText.emplace(glyph.utf8, &glyph);
      }
    }
    return byText;
  }();
  return table;
}

std::size_t utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  return 4;
}

// Calls `use` with the glyph of each character of `utf8`.
template <typename Use>
void forEachGlyph(std::string_view utf8, Use use) {
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = utf8Length(static_cast<unsigned char>(utf8[i]));
    const std::string character(utf8.substr(i, length));
    const auto found = glyphsByText().find(character);
    if (found == glyphsByText().end()) {
      throw std::invalid_argument("synthetic: no game code for \"" + character + "\"");
    }
    use(*found->second);
    i += length;
  }
}

}  // namespace

std::string makeCharacterTableFile() {
  std::string file;
  for (const Glyph& glyph : glyphs::all()) {
    file += keyOf(glyph.code) + "," + glyph.shiftJis + "\r\n";
  }
  return file;
}

Bytes encodeGameText(std::string_view utf8) {
  Bytes codes;
  forEachGlyph(utf8, [&codes](const Glyph& glyph) {
    if (glyph.code >= glyphs::kFirstTwoByteCode) {
      codes.push_back(static_cast<std::uint8_t>(glyph.code >> 8u));
    }
    codes.push_back(static_cast<std::uint8_t>(glyph.code));
  });
  return codes;
}

std::string shiftJisOf(std::string_view utf8) {
  std::string text;
  forEachGlyph(utf8, [&text](const Glyph& glyph) { text += glyph.shiftJis; });
  return text;
}

}  // namespace synthetic
