// Blocks "Sakura" published by the test itself: what a read makes of sizes
// that are 0, short, or larger than the block really is.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/unique_handle.h"
#include "sstp/win/host_directory_reader.h"

namespace quillbin::win {
namespace {

using namespace std::string_literals;

std::string SizeField(uint32_t size) {
    std::string field(4, '\0');
    for (int i = 0; i < 4; ++i) field[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return field;
}

// A block "Sakura" of `mappingBytes`, holding `content` at its start.
class PublishedBlock {
public:
    PublishedBlock(DWORD mappingBytes, const std::string& content) {
        m_mapping.reset(
            ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, mappingBytes, kHostDirectoryName));
        if (!m_mapping || ::GetLastError() == ERROR_ALREADY_EXISTS) return;
        UniqueMappedView view(::MapViewOfFile(m_mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
        if (!view || content.size() > mappingBytes) return;
        std::memcpy(const_cast<void*>(view.get()), content.data(), content.size());
        m_ok = true;
    }
    bool ok() const { return m_ok; }

private:
    UniqueHandle m_mapping;
    bool m_ok = false;
};

// clang-format off
const std::string kTwoGhosts = "A.hwnd\x01" "100\r\nB.hwnd\x01" "200\r\n";
// clang-format on

// Filler records up to `total` bytes of text, then a last ghost whose record
// ends exactly there.
std::string TextEndingAt(size_t total) {
    // clang-format off
    const std::string last = "Z.hwnd\x01" "300\r\n";
    // clang-format on
    std::string text = kTwoGhosts;
    while (text.size() + last.size() < total) {
        size_t room = total - last.size() - text.size();
        std::string pad = "pad.x\x01";
        if (room < pad.size() + 2) {
            text.append(room, '\n');
            break;
        }
        pad.append(std::min<size_t>(room - pad.size() - 2, 50), 'y');
        text += pad + "\r\n";
    }
    return text + last;
}

struct BlockCase {
    const char* label;
    DWORD mappingBytes;
    std::string content;
    std::optional<std::vector<uint32_t>> expected;  // nullopt: result 0
};

TEST(HostDirectory, SizeFieldsOfPublishedBlocks) {
    // clang-format off
    const BlockCase cases[] = {
        {"size 0", 4096, SizeField(0) + kTwoGhosts, std::nullopt},
        {"size 3", 4096, SizeField(3) + kTwoGhosts, std::vector<uint32_t>{}},
        {"size 4", 4096, SizeField(4) + kTwoGhosts, std::vector<uint32_t>{}},
        {"exact size", 4096, SizeField(28) + kTwoGhosts + "C.hwnd\x01" "3\r\n", std::vector<uint32_t>{100, 200}},
        {"a short block whose size field claims 64 KiB", 64, SizeField(65536) + kTwoGhosts,
         std::vector<uint32_t>{100, 200}},
        {"a lying size field is read up to the view's end", 4096, SizeField(0xFFFFFFFFu) + TextEndingAt(4092),
         std::vector<uint32_t>{100, 200, 300}},
        {"a view filled to its end with an open record", 4096,
         SizeField(0xFFFFFFFFu) + TextEndingAt(4090) + "Q.", std::vector<uint32_t>{100, 200, 300}},
    };
    // clang-format on
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.label);
        {
            PublishedBlock block(c.mappingBytes, c.content);
            ASSERT_TRUE(block.ok()) << "another block \"Sakura\" exists";
            std::optional<GhostList> read = HostDirectoryReader().Read();
            ASSERT_EQ(read.has_value(), c.expected.has_value());
            if (read) {
                EXPECT_EQ(read->handles, *c.expected);
            }
        }
    }
}

TEST(HostDirectory, NoBlockMeansNoGhosts) {
    UniqueHandle existing(::OpenFileMappingA(FILE_MAP_READ, FALSE, kHostDirectoryName));
    ASSERT_FALSE(existing) << "a block \"Sakura\" is published";
    EXPECT_FALSE(HostDirectoryReader().Read().has_value());
}

}  // namespace
}  // namespace quillbin::win
