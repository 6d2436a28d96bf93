// Where the settings are kept: named sections of key/value texts. The
// program's store is a private profile (INI) file; the tests use a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillbin {

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The key's value as an unsigned integer; `fallback` when the key or the
    // whole store is missing. What a value that is not a plain decimal number
    // gives is the store's own rule.
    virtual uint32_t ReadUnsigned(std::string_view section, std::string_view key, uint32_t fallback) = 0;
    // The key's text, cut to at most `maxBytes` bytes; `fallback` when missing.
    virtual std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                                 size_t maxBytes) = 0;
    // Sets the key, creating the store when it is missing. Failures are
    // silent: a value that cannot be written is simply not kept.
    virtual void WriteText(std::string_view section, std::string_view key, std::string_view value) = 0;
};

// The store of a settings file whose path cannot be had: it holds nothing and
// keeps nothing, so every read yields its default and no file is touched.
class AbsentProfileStore final : public ProfileStore {
public:
    uint32_t ReadUnsigned(std::string_view /*section*/, std::string_view /*key*/, uint32_t fallback) override {
        return fallback;
    }
    std::string ReadText(std::string_view /*section*/, std::string_view /*key*/, std::string_view fallback,
                         size_t maxBytes) override {
        return std::string(fallback.substr(0, maxBytes));
    }
    void WriteText(std::string_view /*section*/, std::string_view /*key*/, std::string_view /*value*/) override {}
};

}  // namespace quillbin
