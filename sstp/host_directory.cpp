#include "sstp/host_directory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "base/decimal.h"

namespace quillbin {

namespace {

bool IsRecordEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDummyEntry(std::string_view record) {
    if (record.size() < kDummyEntryPrefix.size()) return false;
    for (size_t i = 0; i < kDummyEntryPrefix.size(); ++i) {
        if (AsciiLower(record[i]) != kDummyEntryPrefix[i]) return false;
    }
    return true;
}

struct Record {
    std::string_view id;
    std::string_view key;
    std::string_view value;
};

// False for records that describe nothing: no id/key separator or no
// key/value separator, either of them as the last byte, a 0x01 standing
// before the "." (outside the format), and the host's dummy entries.
bool SplitRecord(std::string_view record, Record& out) {
    size_t dot = record.find('.');
    size_t mark = record.find('\x01');
    if (dot == std::string_view::npos || dot + 1 == record.size()) return false;
    if (mark == std::string_view::npos || mark + 1 == record.size()) return false;
    if (mark < dot) return false;
    if (IsDummyEntry(record)) return false;
    out.id = record.substr(0, dot);
    out.key = record.substr(dot + 1, mark - dot - 1);
    out.value = record.substr(mark + 1);
    return true;
}

class DirectoryBuilder {
public:
    void Add(const Record& r) {
        if (r.id != m_id) {
            Flush();
            m_id = r.id;
        }
        if (r.key == "hwnd") {
            m_handle = ReadUnsignedDecimal(r.value).value;
        } else if (r.key == "name") {
            m_name = r.value;
        }
    }

    GhostList Finish() {
        Flush();
        return std::move(m_list);
    }

private:
    // A ghost run ends; it is listed only with a usable handle. The name is
    // deliberately kept: only a "name" record replaces it.
    void Flush() {
        const uint32_t handle = std::exchange(m_handle, 0);
        if (handle == 0 || handle == kBroadcastWindowHandle) return;
        m_list.names.emplace_back(m_name);
        m_list.handles.push_back(handle);
    }

    GhostList m_list;
    std::string_view m_id;
    std::string_view m_name;
    uint32_t m_handle = 0;
};

}  // namespace

GhostList ParseHostDirectory(std::string_view text) {
    DirectoryBuilder builder;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && !IsRecordEnd(text[end])) ++end;
        // A record still open at the end of the text may be half written.
        if (end == text.size() || end == start) break;

        Record record;
        if (SplitRecord(text.substr(start, end - start), record)) builder.Add(record);
        if (text[end] == '\0') break;

        start = end;
        while (start < text.size() && IsLineBreak(text[start])) ++start;
        if (start < text.size() && text[start] == '\0') break;
    }
    return builder.Finish();
}

size_t HostDirectoryCopyLength(uint32_t sizeField, size_t viewBytes) {
    if (sizeField == 0 || viewBytes < kHostDirectorySizeFieldBytes) return 0;
    return std::min<size_t>(sizeField, viewBytes);
}

HostDirectoryCopy CopyHostDirectoryBlock(const void* view, size_t viewBytes) {
    if (viewBytes < kHostDirectorySizeFieldBytes) return {};
    // The writer may change the block meanwhile: the field is read once, and
    // only this reading decides how much is copied.
    unsigned char field[kHostDirectorySizeFieldBytes];
    std::memcpy(field, view, sizeof field);
    uint32_t sizeField = static_cast<uint32_t>(field[0]) | static_cast<uint32_t>(field[1]) << 8 |
                         static_cast<uint32_t>(field[2]) << 16 | static_cast<uint32_t>(field[3]) << 24;

    size_t length = HostDirectoryCopyLength(sizeField, viewBytes);
    if (length == 0) return {};
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[length]);
    if (!bytes) return {};
    std::memcpy(bytes.get(), view, length);
    return HostDirectoryCopy(std::move(bytes), length);
}

GhostList ParseHostDirectoryBlock(std::string_view block) {
    if (block.size() <= kHostDirectorySizeFieldBytes) return {};
    return ParseHostDirectory(block.substr(kHostDirectorySizeFieldBytes));
}

}  // namespace quillbin
