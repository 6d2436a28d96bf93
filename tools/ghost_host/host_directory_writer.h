// The directory text the demo host publishes in "Sakura": a 4-byte
// little-endian size (the bytes up to the terminating NUL, these 4 included),
// one dummy header record, then per ghost
//   <id>.hwnd\x01<decimal handle>\r\n<id>.name\x01<name>\r\n
// and a NUL byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillbin {

struct DirectoryGhost {
    uint64_t serial = 0;  // makes the id: unique for the host's whole life
    std::string name;     // code page 932 bytes
    uint64_t hwnd = 0;
};

struct HostDirectory {
    std::string bytes;  // empty when not even the header fits
    size_t ghosts = 0;  // how many of the ghosts it lists
};

// At most `capacity` bytes: the ghosts that do not fit are left out whole.
HostDirectory BuildHostDirectory(const std::vector<DirectoryGhost>& ghosts, size_t capacity);

}  // namespace quillbin
