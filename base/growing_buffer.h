// Fetches a text of unknown length from a call that, like
// GetModuleFileName, fills a buffer and returns the number of characters
// written, or the whole buffer size when the text did not fit (and was cut).
// A cut text is never handed on: a settings file at a truncated path would be
// some other file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quillbin {

// `fill(buffer, capacity)` returns the characters written, 0 on failure.
// nullopt when the call fails or the text needs more than `limit` characters.
template <typename Char, typename Fill>
std::optional<std::basic_string<Char>> FetchWithGrowingBuffer(Fill fill, size_t initial, size_t limit) {
    for (size_t capacity = initial; capacity > 0 && capacity <= limit; capacity *= 2) {
        std::basic_string<Char> buffer(capacity, Char{});
        size_t written = fill(buffer.data(), capacity);
        if (written == 0) return std::nullopt;
        if (written < capacity) {
            buffer.resize(written);
            return buffer;
        }
    }
    return std::nullopt;
}

}  // namespace quillbin
