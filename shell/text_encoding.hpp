#pragma once
// The one place where text changes encoding. Game names, file contents and the windows' own texts
// are Shift-JIS (the Windows code page 932) in the tools' files; the windows and the command line
// show UTF-8.

#include <string>
#include <string_view>

namespace shell {

// What stands for text that has no form in the other encoding.
inline constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD
inline constexpr std::string_view kReplacementSjis = "?";

// Bytes that are not valid Shift-JIS become U+FFFD, one for each byte skipped, so a damaged name
// still shows.
std::string sjisToUtf8(std::string_view sjis);

// Characters without a Shift-JIS form (and bytes that are not UTF-8) become "?", one for each
// character.
std::string utf8ToSjis(std::string_view utf8);

#ifdef _WIN32
// The UTF-8 of text Windows gives as UTF-16, such as the program's words.
std::string utf16ToUtf8(std::wstring_view utf16);
#endif

}  // namespace shell
