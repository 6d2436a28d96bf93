#include "framework/win/wide_text.h"

#include <windows.h>

namespace quillbin::win {

namespace {

constexpr UINT kCp932 = 932;

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int n =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring WideFromCp932(std::string_view text) { return ToWide(kCp932, text); }
std::string Cp932FromWide(std::wstring_view text) { return FromWide(kCp932, text); }
std::string Utf8FromWide(std::wstring_view text) { return FromWide(CP_UTF8, text); }
std::wstring WideFromUtf8(std::string_view text) { return ToWide(CP_UTF8, text); }
std::wstring WideFromAnsi(std::string_view text) { return ToWide(CP_ACP, text); }
std::string AnsiFromWide(std::wstring_view text) { return FromWide(CP_ACP, text); }

}  // namespace quillbin::win
