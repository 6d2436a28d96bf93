// Conversions between the system's code page 932 byte texts and the UTF-16
// that the wide-character functions take. Every text the tool shows goes
// through here, so it displays correctly whatever the ANSI code page is;
// what goes on the wire and into files stays code page 932.
#pragma once

#include <string>
#include <string_view>

namespace quillbin::win {

std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWide(std::wstring_view text);
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

// Through the ANSI code page, with the system's default rules for what it
// cannot map: the conversion that every `A` function makes of its texts.
// Used around a `W` call, it gives the bytes the `A` call would.
std::wstring WideFromAnsi(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

}  // namespace quillbin::win
