#include "shell/text_encoding.hpp"

#include <windows.h>

#include <algorithm>
#include <optional>

// The conversions through the system's code page 932, to exactly the results of the Linux side
// (iconv's "CP932", text_encoding.cpp): the same characters, the same replacements. Where the two
// tables part ways, this side follows iconv, so that a file or a name is the same on both systems.

namespace shell {
namespace {

constexpr UINT kShiftJisCodePage = 932;

// Single bytes the code page gives a character that iconv has none for: 0x80 (U+0080) and, on
// some Windows versions, 0xA0 and 0xFD to 0xFF (private-use characters).
bool isByteIconvRefuses(unsigned char byte)
{
    constexpr unsigned char kControlByte = 0x80;
    constexpr unsigned char kBlankByte = 0xA0;
    constexpr unsigned char kFirstTrailingByte = 0xFD;
    return byte == kControlByte || byte == kBlankByte || byte >= kFirstTrailingByte;
}

// Characters iconv writes as the Shift-JIS of a look-alike, one way only, where the code page
// (asked for no best-fit) has no form.
struct LookAlike {
    wchar_t character;
    std::string_view sjis;
};
constexpr LookAlike kIconvLookAlikes[] = {
    {L'\u00A2', "\x81\x91"},  // CENT SIGN as FULLWIDTH CENT SIGN
    {L'\u00A3', "\x81\x92"},  // POUND SIGN as FULLWIDTH POUND SIGN
    {L'\u00A5', "\x5C"},      // YEN SIGN as the byte Japanese fonts show as the yen sign
    {L'\u00AC', "\x81\xCA"},  // NOT SIGN as FULLWIDTH NOT SIGN
    {L'\u2014', "\x81\x5C"},  // EM DASH as HORIZONTAL BAR
    {L'\u2016', "\x81\x61"},  // DOUBLE VERTICAL LINE as PARALLEL TO
    {L'\u203E', "\x7E"},      // OVERLINE as TILDE
    {L'\u2212', "\x81\x7C"},  // MINUS SIGN as FULLWIDTH HYPHEN-MINUS
    {L'\u301C', "\x81\x60"},  // WAVE DASH as FULLWIDTH TILDE
};

// Characters the code page writes that iconv has no Shift-JIS form for: the ones the bytes of
// isByteIconvRefuses read as.
bool isCharacterIconvRefuses(wchar_t character)
{
    constexpr wchar_t kControl = L'\u0080';
    constexpr wchar_t kFirstPrivate = L'\uF8F0';
    constexpr wchar_t kLastPrivate = L'\uF8F3';
    return character == kControl || (character >= kFirstPrivate && character <= kLastPrivate);
}

const LookAlike* iconvLookAlike(wchar_t character)
{
    const auto found = std::ranges::find(kIconvLookAlikes, character, &LookAlike::character);
    return found == std::end(kIconvLookAlikes) ? nullptr : found;
}

// The UTF-16 of `bytes` in `codePage`; nothing when any byte is not valid there.
std::optional<std::wstring> wideText(std::string_view bytes, UINT codePage)
{
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    return wide;
}

// `wide` in `codePage`; nothing when a character has no exact form there (no best-fit stand-in
// and no default character).
std::optional<std::string> codePageText(std::wstring_view wide, UINT codePage)
{
    if (wide.empty())
        return std::string();
    const bool exact = codePage != CP_UTF8;  // UTF-8 takes neither flag
    const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultFlag = exact ? &usedDefault : nullptr;
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultFlag);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

// The bytes a UTF-8 character with this first byte takes; 1 for a byte that starts none.
std::size_t utf8CharacterLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

bool isUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The Shift-JIS of one character (one UTF-8 character's UTF-16); nothing when iconv has none.
std::optional<std::string> sjisCharacter(std::wstring_view wide)
{
    if (wide.size() == 1) {
        if (isCharacterIconvRefuses(wide.front()))
            return std::nullopt;
        if (const LookAlike* lookAlike = iconvLookAlike(wide.front()))
            return std::string(lookAlike->sjis);
    }
    return codePageText(wide, kShiftJisCodePage);
}

}  // namespace

std::string sjisToUtf8(std::string_view sjis)
{
    // Text without the bytes the two sides read differently converts in one call.
    if (std::ranges::none_of(sjis, [](char byte) { return isByteIconvRefuses(static_cast<unsigned char>(byte)); })) {
        if (const std::optional<std::wstring> wide = wideText(sjis, kShiftJisCodePage))
            return *codePageText(*wide, CP_UTF8);
    }
    // Otherwise one character at a time, each byte that starts no character replaced.
    std::string utf8;
    std::size_t position = 0;
    while (position < sjis.size()) {
        const auto lead = static_cast<unsigned char>(sjis[position]);
        const std::size_t length = IsDBCSLeadByteEx(kShiftJisCodePage, lead) ? 2 : 1;
        std::optional<std::wstring> wide;
        if (position + length <= sjis.size() && !(length == 1 && isByteIconvRefuses(lead)))
            wide = wideText(sjis.substr(position, length), kShiftJisCodePage);
        if (!wide) {
            utf8 += kReplacementUtf8;
            ++position;
            continue;
        }
        utf8 += *codePageText(*wide, CP_UTF8);
        position += length;
    }
    return utf8;
}

std::string utf8ToSjis(std::string_view utf8)
{
    // Text without the characters the two sides write differently converts in one call.
    if (const std::optional<std::wstring> wide = wideText(utf8, CP_UTF8)) {
        const bool plain = std::ranges::none_of(*wide, [](wchar_t character) {
            return isCharacterIconvRefuses(character) || iconvLookAlike(character) != nullptr;
        });
        if (plain) {
            if (std::optional<std::string> sjis = codePageText(*wide, kShiftJisCodePage))
                return *sjis;
        }
    }
    // Otherwise one character at a time; a character without a Shift-JIS form, or a byte that
    // starts no UTF-8 character, is replaced and skipped with the continuation bytes behind it.
    std::string sjis;
    std::size_t position = 0;
    while (position < utf8.size()) {
        const std::size_t length = utf8CharacterLength(static_cast<unsigned char>(utf8[position]));
        std::optional<std::string> character;
        if (position + length <= utf8.size()) {
            if (const std::optional<std::wstring> wide = wideText(utf8.substr(position, length), CP_UTF8))
                character = sjisCharacter(*wide);
        }
        if (character) {
            sjis += *character;
            position += length;
            continue;
        }
        sjis += kReplacementSjis;
        ++position;
        while (position < utf8.size() && isUtf8Continuation(utf8[position]))
            ++position;
    }
    return sjis;
}

std::string utf16ToUtf8(std::wstring_view utf16)
{
    return codePageText(utf16, CP_UTF8).value_or(std::string());
}

}  // namespace shell
