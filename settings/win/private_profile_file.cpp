#include "settings/win/private_profile_file.h"

#include <windows.h>

#include "framework/win/wide_text.h"

namespace quillbin::win {

uint32_t PrivateProfileFile::ReadUnsigned(std::string_view section, std::string_view key, uint32_t fallback) {
    return ::GetPrivateProfileIntW(WideFromAnsi(section).c_str(), WideFromAnsi(key).c_str(), static_cast<INT>(fallback),
                                   m_path.c_str());
}

std::string PrivateProfileFile::ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                                         size_t maxBytes) {
    // Each character of the file's code page is at least one byte, so the
    // first `maxBytes` characters hold the first `maxBytes` bytes. The call
    // counts the terminating zero in its size.
    std::wstring buffer(maxBytes + 1, L'\0');
    DWORD length = ::GetPrivateProfileStringW(WideFromAnsi(section).c_str(), WideFromAnsi(key).c_str(),
                                              WideFromAnsi(fallback).c_str(), buffer.data(),
                                              static_cast<DWORD>(maxBytes + 1), m_path.c_str());
    buffer.resize(length);
    std::string text = AnsiFromWide(buffer);
    if (text.size() <= maxBytes) return text;
    // Cut between characters: a lone lead byte at the end would be written
    // back as some other character.
    size_t cut = 0;
    while (cut < maxBytes) {
        size_t next = cut + (::IsDBCSLeadByte(static_cast<BYTE>(text[cut])) ? 2 : 1);
        if (next > maxBytes) break;
        cut = next;
    }
    text.resize(cut);
    return text;
}

void PrivateProfileFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    ::WritePrivateProfileStringW(WideFromAnsi(section).c_str(), WideFromAnsi(key).c_str(), WideFromAnsi(value).c_str(),
                                 m_path.c_str());
}

}  // namespace quillbin::win
