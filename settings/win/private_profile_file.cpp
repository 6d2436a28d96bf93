#include "settings/win/private_profile_file.h"

#include <windows.h>

#include <vector>

namespace quillbin::win {

uint32_t PrivateProfileFile::ReadUnsigned(std::string_view section, std::string_view key, uint32_t fallback) {
    return ::GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(), static_cast<INT>(fallback),
                                   m_path.c_str());
}

std::string PrivateProfileFile::ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                                         size_t maxBytes) {
    // The call counts the terminating zero in its size.
    std::vector<char> buffer(maxBytes + 2, '\0');
    DWORD length = ::GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                              std::string(fallback).c_str(), buffer.data(),
                                              static_cast<DWORD>(maxBytes + 1), m_path.c_str());
    return std::string(buffer.data(), length < maxBytes ? length : maxBytes);
}

void PrivateProfileFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
    ::WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(), std::string(value).c_str(),
                                 m_path.c_str());
}

}  // namespace quillbin::win
