// Byte strings written the way byte dumps are read: "82 E0 82 B1".
#pragma once

#include <string>
#include <string_view>

namespace quillbin::testing {

inline std::string Hex(std::string_view dump) {
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string bytes;
    for (size_t i = 0; i + 1 < dump.size();) {
        if (dump[i] == ' ') {
            ++i;
            continue;
        }
        bytes += static_cast<char>(nibble(dump[i]) * 16 + nibble(dump[i + 1]));
        i += 2;
    }
    return bytes;
}

// True when the text splits into whole code page 932 characters from its
// first byte on: no double-byte character is cut at the end.
inline bool EndsOnWholeCharacter(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        i += lead ? 2 : 1;
    }
    return i == text.size();
}

}  // namespace quillbin::testing
