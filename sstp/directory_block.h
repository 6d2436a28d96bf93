// The host directory block as a refresh sees it: a 4-byte little-endian size
// (content bytes, the field included), then the directory text. The block is
// written by another process and is untrusted; the decisions about what to
// copy out of it are made here, so the Win32 side only opens, maps, measures
// the readable view and hands it over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "sstp/ghost_list.h"

namespace quillbin {

inline constexpr size_t kDirectorySizeFieldBytes = 4;

// How many bytes to copy from the start of a readable view of `viewBytes`
// bytes whose size field reads `sizeField`; 0 when the block is unreadable
// (size field 0). A size field larger than the view is believed only up to
// the view's end.
size_t DirectoryCopyLength(uint32_t sizeField, size_t viewBytes);

// A refresh's private copy of the block, size field included.
class DirectoryCopy {
public:
    DirectoryCopy() = default;
    DirectoryCopy(std::unique_ptr<char[]> bytes, size_t size) : m_bytes(std::move(bytes)), m_size(size) {}

    // False when the block was unreadable or the copy could not be allocated.
    explicit operator bool() const { return m_bytes != nullptr; }
    std::string_view Block() const { return {m_bytes.get(), m_size}; }

private:
    std::unique_ptr<char[]> m_bytes;
    size_t m_size = 0;
};

// Reads the size field once and copies what DirectoryCopyLength allows.
// `view` must be readable for `viewBytes` bytes. Empty when the view is too
// short for a size field, the field is 0 or no memory is left.
DirectoryCopy CopyDirectoryBlock(const void* view, size_t viewBytes);

// Ghosts of a copied block: its text runs from offset 4 to the copy's end,
// so a block of 4 bytes or fewer lists none.
GhostList ParseDirectoryBlock(std::string_view block);

}  // namespace quillbin
