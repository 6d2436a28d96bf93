// A private profile (INI) file as a settings store. The file is named in
// UTF-16, so it is found in a folder whose name the ANSI code page cannot
// write; the section, keys and values pass through the ANSI code page both
// ways, as the `A` profile calls pass them, so the file holds the same bytes
// as those calls would write: code page 932 values go in and out unchanged.
#pragma once

#include <string>

#include "settings/profile_store.h"

namespace quillbin::win {

class PrivateProfileFile final : public ProfileStore {
public:
    explicit PrivateProfileFile(std::wstring path) : m_path(std::move(path)) {}

    uint32_t ReadUnsigned(std::string_view section, std::string_view key, uint32_t fallback) override;
    std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                         size_t maxBytes) override;
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override;

private:
    std::wstring m_path;
};

}  // namespace quillbin::win
