#include "framework/win/resource_text.h"

#include <windows.h>

#include "framework/win/wide_text.h"

namespace quillbin::win {

std::wstring LoadWideString(unsigned id) {
    // With no buffer, LoadStringW hands back a pointer into the resource
    // itself, so entries of any length come out whole.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

std::string LoadCp932String(unsigned id) { return Cp932FromWide(LoadWideString(id)); }

}  // namespace quillbin::win
