// The directory text the demo host publishes in "Sakura", shaped the way
// ghost hosts write it today: a 4-byte little-endian size (the bytes up to
// the terminating NUL, these 4 included), one dummy header record, then per
// ghost the records
//   <id>.path  <id>.hwnd  <id>.name  <id>.keroname  <id>.kerohwnd  <id>.ghostpath
// (each "<id>.<key>\x01<value>\r\n") and a NUL byte. The id is the 32-byte
// form "zed_fmo_header_<process id>_<window>", both in 8 lower-case hex
// digits, so the ghosts of one host share its first 24 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillbin {

struct DirectoryHost {
    uint32_t processId = 0;
    std::string path;  // code page 932 bytes, ending in a backslash
};

struct DirectoryGhost {
    std::string name;  // code page 932 bytes
    uint32_t hwnd = 0;
};

struct HostDirectory {
    std::string bytes;  // empty when not even the header fits
    size_t ghosts = 0;  // how many of the ghosts it lists
};

// "zed_fmo_header_000002a5_002b3132" for process 0x2a5 and window 0x2b3132.
std::string GhostDirectoryId(uint32_t processId, uint32_t hwnd);

// At most `capacity` bytes: the ghosts that do not fit are left out whole.
HostDirectory BuildHostDirectory(const DirectoryHost& host, const std::vector<DirectoryGhost>& ghosts, size_t capacity);

}  // namespace quillbin
