#include "sstp/directory_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillbin {
namespace {

using namespace std::string_literals;

struct CopyLengthCase {
    uint32_t sizeField;
    size_t viewBytes;
    size_t expected;
};

TEST(DirectoryCopyLength, TrustsTheSizeFieldOnlyUpToTheView) {
    const CopyLengthCase cases[] = {
        {0, 65536, 0},  // size 0: unreadable
        {1, 65536, 1},  // sizes 1 to 4 are readable but hold no text
        {4, 65536, 4},
        {100, 65536, 100},
        {65536, 65536, 65536},
        {65537, 65536, 65536},  // a lying size field stops at the view's end
        {0xFFFFFFFFu, 4096, 4096},
        {10, 3, 0},  // a view too short for the size field
        {10, 0, 0},
        {4, 4, 4},
    };
    for (const CopyLengthCase& c : cases) {
        EXPECT_EQ(DirectoryCopyLength(c.sizeField, c.viewBytes), c.expected)
            << "size field " << c.sizeField << ", view " << c.viewBytes;
    }
}

// A view of exactly these bytes on the heap, so that the sanitizer catches
// any read past its end.
class View {
public:
    explicit View(std::string_view bytes) : m_bytes(new char[bytes.size()]), m_size(bytes.size()) {
        std::memcpy(m_bytes.get(), bytes.data(), bytes.size());
    }
    const char* data() const { return m_bytes.get(); }
    size_t size() const { return m_size; }

private:
    std::unique_ptr<char[]> m_bytes;
    size_t m_size;
};

std::string SizeField(uint32_t size) {
    std::string field(4, '\0');
    for (int i = 0; i < 4; ++i) field[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return field;
}

// What a refresh makes of a view: nullopt for result 0.
std::optional<std::vector<uint32_t>> Refresh(std::string_view bytes) {
    View view(bytes);
    DirectoryCopy copy = CopyDirectoryBlock(view.data(), view.size());
    if (!copy) return std::nullopt;
    return ParseDirectoryBlock(copy.Block()).handles;
}

struct RefreshCase {
    const char* label;
    std::string bytes;
    std::optional<std::vector<uint32_t>> expected;
};

// clang-format off
const std::string kTwoGhosts = "A.hwnd\x01" "100\r\nB.hwnd\x01" "200\r\n";
// clang-format on

TEST(DirectoryBlock, RefreshDecisionsFollowTheSizeField) {
    // clang-format off
    const RefreshCase cases[] = {
        {"size 0 is unreadable", SizeField(0) + kTwoGhosts, std::nullopt},
        {"size 1 holds no text", SizeField(1) + kTwoGhosts, std::vector<uint32_t>{}},
        {"size 2 holds no text", SizeField(2) + kTwoGhosts, std::vector<uint32_t>{}},
        {"size 3 holds no text", SizeField(3) + kTwoGhosts, std::vector<uint32_t>{}},
        {"size 4 holds no text", SizeField(4) + kTwoGhosts, std::vector<uint32_t>{}},
        {"exact size", SizeField(4 + static_cast<uint32_t>(kTwoGhosts.size())) + kTwoGhosts,
         std::vector<uint32_t>{100, 200}},
        {"a size inside the second record cuts it off",
         SizeField(4 + static_cast<uint32_t>(kTwoGhosts.size()) - 2) + kTwoGhosts,
         std::vector<uint32_t>{100}},
        {"text after the size is not read",
         SizeField(4 + 13) + kTwoGhosts, std::vector<uint32_t>{100}},
        {"a lying size is read up to the view's end",
         SizeField(0xFFFFFFFFu) + kTwoGhosts, std::vector<uint32_t>{100, 200}},
        {"a lying size with the last record open at the view's end",
         SizeField(70000) + kTwoGhosts + "C.hwnd\x01" "3", std::vector<uint32_t>{100, 200}},
        {"a view too short for the size field", "\x10\0\0"s, std::nullopt},
        {"an empty view", "", std::nullopt},
        {"the size field is little-endian",
         "\x1C\0\0\0"s + kTwoGhosts + "C.hwnd\x01" "3\r\n", std::vector<uint32_t>{100, 200}},
    };
    // clang-format on
    for (const RefreshCase& c : cases) {
        EXPECT_EQ(Refresh(c.bytes), c.expected) << c.label;
    }
}

TEST(DirectoryBlock, CopiesTheBlockWithItsSizeField) {
    std::string bytes = SizeField(8) + "abcdXXXX";
    View view(bytes);
    DirectoryCopy copy = CopyDirectoryBlock(view.data(), view.size());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy.Block(), std::string_view(bytes).substr(0, 8));
}

TEST(DirectoryBlock, ParseOfABlockSkipsTheSizeField) {
    // Digits in the size field must not be taken for text.
    // clang-format off
    std::string block = "9\r\n" "\x01" "A.hwnd\x01" "5\r\n";
    // clang-format on
    EXPECT_EQ(ParseDirectoryBlock(block).handles, (std::vector<uint32_t>{5}));
    EXPECT_TRUE(ParseDirectoryBlock(block.substr(0, 4)).handles.empty());
    EXPECT_TRUE(ParseDirectoryBlock("").handles.empty());
}

}  // namespace
}  // namespace quillbin
