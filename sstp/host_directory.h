// The host directory: the shared block "Sakura" in which the ghost host
// lists its ghosts. A 4-byte little-endian size (content bytes, the field
// included), then the directory text: records of the form
// id "." key 0x01 value, one per line, grouped by ghost id; only the "hwnd"
// and "name" keys carry anything this program reads.
//
// The block is written by another process and is untrusted: what to copy out
// of it and how to read the copy is decided here, so the Win32 reader only
// opens, maps, measures the readable view and hands it over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "sstp/ghost_list.h"

namespace quillbin {

// The block's name, and the mutex that whoever writes or reads it owns
// meanwhile (the first to need it creates it).
inline constexpr char kHostDirectoryName[] = "Sakura";
inline constexpr char kHostDirectoryMutexName[] = "SakuraFMO";
inline constexpr size_t kHostDirectorySizeFieldBytes = 4;

// Records whose id begins with this (ASCII letter case aside) stand for no
// ghost; hosts write one first. Its part before "dummyentry_" begins the ids
// of their ghosts.
inline constexpr std::string_view kDummyEntryPrefix = "zed_fmo_header_dummyentry_";

// The handle that no ghost can have: as a window handle it means every
// top-level window of the desktop (HWND_BROADCAST), and a request sent to it
// would reach programs that never asked for it. Like handle 0, it is never
// listed.
inline constexpr uint32_t kBroadcastWindowHandle = 0xFFFF;

// Lists the ghosts of a directory text (the block's bytes after its size
// field, up to the size). Any byte sequence is accepted: nothing is read
// outside `text`, and a text that breaks the format simply lists fewer ghosts.
GhostList ParseHostDirectory(std::string_view text);

// How many bytes to copy from the start of a readable view of `viewBytes`
// bytes whose size field reads `sizeField`; 0 when the block is unreadable
// (size field 0). A size field larger than the view is believed only up to
// the view's end.
size_t HostDirectoryCopyLength(uint32_t sizeField, size_t viewBytes);

// A refresh's private copy of the block, size field included.
class HostDirectoryCopy {
public:
    HostDirectoryCopy() = default;
    HostDirectoryCopy(std::unique_ptr<char[]> bytes, size_t size) : m_bytes(std::move(bytes)), m_size(size) {}

    // False when the block was unreadable or the copy could not be allocated.
    explicit operator bool() const { return m_bytes != nullptr; }
    std::string_view Block() const { return {m_bytes.get(), m_size}; }

private:
    std::unique_ptr<char[]> m_bytes;
    size_t m_size = 0;
};

// Reads the size field once and copies what HostDirectoryCopyLength allows.
// `view` must be readable for `viewBytes` bytes. Empty when the view is too
// short for a size field, the field is 0 or no memory is left.
HostDirectoryCopy CopyHostDirectoryBlock(const void* view, size_t viewBytes);

// Ghosts of a copied block: its text runs from offset 4 to the copy's end,
// so a block of 4 bytes or fewer lists none.
GhostList ParseHostDirectoryBlock(std::string_view block);

}  // namespace quillbin
