#include "tools/ghost_host/host_directory_writer.h"

#include <cstdio>
#include <string_view>

#include "sstp/host_directory.h"

namespace quillbin {

namespace {

constexpr std::string_view kIdPrefix = kDummyEntryPrefix.substr(0, kDummyEntryPrefix.find("dummyentry_"));
constexpr std::string_view kHeaderRecordRest = "quillbin.host\x01QuillbinGhostHost\r\n";

// A line end or NUL in a value would end its record early (and a NUL the
// whole text); none of them can be the second byte of a double-byte
// character, so replacing them byte by byte is safe.
std::string RecordValue(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0') c = '?';
    }
    return value;
}

std::string GhostRecords(const DirectoryHost& host, const DirectoryGhost& ghost) {
    const std::string id = GhostDirectoryId(host.processId, ghost.hwnd);
    const std::string name = RecordValue(ghost.name);
    const std::string path = RecordValue(host.path);
    std::string records;
    auto add = [&](std::string_view key, const std::string& value) {
        records += id + "." + std::string(key) + "\x01" + value + "\r\n";
    };
    // The demo ghost has one window: its partner ("kero") has none.
    add("path", path);
    add("hwnd", std::to_string(ghost.hwnd));
    add("name", name);
    add("keroname", name + " (partner)");
    add("kerohwnd", "0");
    add("ghostpath", path + "ghost\\" + id.substr(id.size() - 8) + "\\");
    return records;
}

}  // namespace

std::string GhostDirectoryId(uint32_t processId, uint32_t hwnd) {
    char numbers[18];
    std::snprintf(numbers, sizeof numbers, "%08x_%08x", static_cast<unsigned>(processId), static_cast<unsigned>(hwnd));
    return std::string(kIdPrefix) + numbers;
}

HostDirectory BuildHostDirectory(const DirectoryHost& host, const std::vector<DirectoryGhost>& ghosts,
                                 size_t capacity) {
    HostDirectory directory;
    std::string& block = directory.bytes;
    block.assign(4, '\0');
    block += kDummyEntryPrefix;
    block += kHeaderRecordRest;
    if (block.size() + 1 > capacity) return {};
    for (const DirectoryGhost& ghost : ghosts) {
        std::string records = GhostRecords(host, ghost);
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
