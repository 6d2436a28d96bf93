// A private profile (INI) file as a settings store, through the platform's
// `A` profile calls: values go in and out as code page 932 bytes, unchanged.
#pragma once

#include <string>

#include "settings/profile_store.h"

namespace quillbin::win {

class PrivateProfileFile final : public ProfileStore {
public:
    explicit PrivateProfileFile(std::string path) : m_path(std::move(path)) {}

    uint32_t ReadUnsigned(std::string_view section, std::string_view key, uint32_t fallback) override;
    std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                         size_t maxBytes) override;
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override;

private:
    std::string m_path;
};

}  // namespace quillbin::win
