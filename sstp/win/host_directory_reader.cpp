#include "sstp/win/host_directory_reader.h"

#include <windows.h>

#include "framework/win/unique_handle.h"
#include "sstp/directory_block.h"

namespace quillbin::win {

namespace {

// Bytes that can be read from `view` on: the region of pages that share its
// state and protection. The size field is written by another process, so it
// never decides on its own how far we read.
size_t ReadableBytes(const void* view) {
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(view, &info, sizeof info) == 0) return 0;
    if (info.State != MEM_COMMIT || (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0) return 0;
    auto base = static_cast<const char*>(info.BaseAddress);
    auto start = static_cast<const char*>(view);
    if (start < base || start >= base + info.RegionSize) return 0;
    return info.RegionSize - static_cast<size_t>(start - base);
}

DirectoryCopy CopyHostDirectory(const char* mappingName) {
    UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName));
    if (!mapping) return {};
    UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return {};
    return CopyDirectoryBlock(view.get(), ReadableBytes(view.get()));
}

}  // namespace

std::optional<GhostList> ReadHostDirectory(const char* mappingName) {
    // The view and the mapping are released when the copy returns.
    DirectoryCopy copy = CopyHostDirectory(mappingName);
    if (!copy) return std::nullopt;
    return ParseDirectoryBlock(copy.Block());
}

}  // namespace quillbin::win
