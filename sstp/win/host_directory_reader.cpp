#include "sstp/win/host_directory_reader.h"

#include <windows.h>

#include "framework/win/unique_handle.h"
#include "sstp/host_directory.h"

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

HostDirectoryCopy CopyHostDirectory(const char* mappingName, NamedMutex& mutex) {
    UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName));
    if (!mapping) return {};
    UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return {};
    const size_t readable = ReadableBytes(view.get());
    // Hosts rewrite the block in place: only while we own their mutex can the
    // copy not take half of one directory and half of the next. When the wait
    // runs out the copy is made all the same.
    auto owner = mutex.lock_serving_sent_messages(kHostDirectoryMutexWaitMs);
    // Ownership ends first as this returns, then the view and the mapping.
    return CopyHostDirectoryBlock(view.get(), readable);
}

}  // namespace

HostDirectoryReader::HostDirectoryReader(const char* mutexName, const char* mappingName)
    : m_mappingName(mappingName), m_mutex(mutexName ? NamedMutex(mutexName) : NamedMutex()) {}

std::optional<GhostList> HostDirectoryReader::Read() {
    HostDirectoryCopy copy = CopyHostDirectory(m_mappingName, m_mutex);
    if (!copy) return std::nullopt;
    return ParseHostDirectoryBlock(copy.Block());
}

}  // namespace quillbin::win
