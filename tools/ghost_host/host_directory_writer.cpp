#include "tools/ghost_host/host_directory_writer.h"

#include <string_view>

namespace quillbin {

namespace {

constexpr std::string_view kHeaderRecord = "zed_fmo_header_dummyentry_quillbin.host\x01QuillbinGhostHost\r\n";

std::string GhostRecords(const DirectoryGhost& ghost) {
    std::string id = "quillbin_ghost_" + std::to_string(ghost.serial);
    // A line end or NUL in a name would end its record early (and a NUL the
    // whole text); none of them can be the second byte of a double-byte
    // character, so replacing them byte by byte is safe.
    std::string name = ghost.name;
    for (char& c : name) {
        if (c == '\r' || c == '\n' || c == '\0') c = '?';
    }
    return id + ".hwnd\x01" + std::to_string(ghost.hwnd) + "\r\n" + id + ".name\x01" + name + "\r\n";
}

}  // namespace

HostDirectory BuildHostDirectory(const std::vector<DirectoryGhost>& ghosts, size_t capacity) {
    HostDirectory directory;
    std::string& block = directory.bytes;
    block.assign(4, '\0');
    block += kHeaderRecord;
    if (block.size() + 1 > capacity) return {};
    for (const DirectoryGhost& ghost : ghosts) {
        std::string records = GhostRecords(ghost);
        if (block.size() + records.size() + 1 > capacity) break;
        block += records;
        ++directory.ghosts;
    }
    uint32_t size = static_cast<uint32_t>(block.size());
    for (size_t i = 0; i < 4; ++i) block[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    block += '\0';
    return directory;
}

}  // namespace quillbin
