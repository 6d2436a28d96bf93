#include "sstp/directory_block.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "sstp/ghost_directory.h"

namespace quillbin {

size_t DirectoryCopyLength(uint32_t sizeField, size_t viewBytes) {
    if (sizeField == 0 || viewBytes < kDirectorySizeFieldBytes) return 0;
    return std::min<size_t>(sizeField, viewBytes);
}

DirectoryCopy CopyDirectoryBlock(const void* view, size_t viewBytes) {
    if (viewBytes < kDirectorySizeFieldBytes) return {};
    // The writer may change the block meanwhile: the field is read once, and
    // only this reading decides how much is copied.
    unsigned char field[kDirectorySizeFieldBytes];
    std::memcpy(field, view, sizeof field);
    uint32_t sizeField = static_cast<uint32_t>(field[0]) | static_cast<uint32_t>(field[1]) << 8 |
                         static_cast<uint32_t>(field[2]) << 16 | static_cast<uint32_t>(field[3]) << 24;

    size_t length = DirectoryCopyLength(sizeField, viewBytes);
    if (length == 0) return {};
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[length]);
    if (!bytes) return {};
    std::memcpy(bytes.get(), view, length);
    return DirectoryCopy(std::move(bytes), length);
}

GhostList ParseDirectoryBlock(std::string_view block) {
    if (block.size() <= kDirectorySizeFieldBytes) return {};
    return ParseGhostDirectory(block.substr(kDirectorySizeFieldBytes));
}

}  // namespace quillbin
