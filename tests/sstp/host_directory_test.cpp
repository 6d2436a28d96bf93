// The host directory: the size field and the copy of the block, then the
// records of its text.
#include "sstp/host_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
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

TEST(HostDirectoryCopyLength, TrustsTheSizeFieldOnlyUpToTheView) {
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
        EXPECT_EQ(HostDirectoryCopyLength(c.sizeField, c.viewBytes), c.expected)
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
    HostDirectoryCopy copy = CopyHostDirectoryBlock(view.data(), view.size());
    if (!copy) return std::nullopt;
    return ParseHostDirectoryBlock(copy.Block()).handles;
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
    HostDirectoryCopy copy = CopyHostDirectoryBlock(view.data(), view.size());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy.Block(), std::string_view(bytes).substr(0, 8));
}

TEST(DirectoryBlock, ParseOfABlockSkipsTheSizeField) {
    // Digits in the size field must not be taken for text.
    // clang-format off
    std::string block = "9\r\n" "\x01" "A.hwnd\x01" "5\r\n";
    // clang-format on
    EXPECT_EQ(ParseHostDirectoryBlock(block).handles, (std::vector<uint32_t>{5}));
    EXPECT_TRUE(ParseHostDirectoryBlock(block.substr(0, 4)).handles.empty());
    EXPECT_TRUE(ParseHostDirectoryBlock("").handles.empty());
}

using namespace std::string_view_literals;

struct Listed {
    std::string name;
    uint32_t handle;
};

struct DirectoryCase {
    const char* label;
    std::string_view text;
    std::vector<Listed> expected;
};

void PrintTo(const DirectoryCase& c, std::ostream* os) { *os << c.label; }

class ParseGhostDirectoryTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(ParseGhostDirectoryTest, ListsTheGhostsOfTheText) {
    const DirectoryCase& c = GetParam();
    GhostList list = ParseHostDirectory(c.text);
    ASSERT_EQ(list.names.size(), list.handles.size());
    std::vector<std::string> names;
    std::vector<uint32_t> handles;
    for (const Listed& g : c.expected) {
        names.push_back(g.name);
        handles.push_back(g.handle);
    }
    EXPECT_EQ(list.handles, handles);
    EXPECT_EQ(list.names, names);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, ParseGhostDirectoryTest, ::testing::Values(
    DirectoryCase{"two ghosts in directory order",
        "A.hwnd\x01" "100\r\nA.name\x01" "Alpha\r\nB.name\x01" "Beta\r\nB.hwnd\x01" "200\r\n\0"sv,
        {{"Alpha", 100}, {"Beta", 200}}},
    DirectoryCase{"empty text", ""sv, {}},
    DirectoryCase{"a run of A, of B, then of A again is three ghosts",
        "A.name\x01" "a1\r\nA.hwnd\x01" "1\r\nB.name\x01" "b\r\nB.hwnd\x01" "2\r\n"
        "A.name\x01" "a2\r\nA.hwnd\x01" "3\r\n\0"sv,
        {{"a1", 1}, {"b", 2}, {"a2", 3}}},
    DirectoryCase{"a run without hwnd is not listed; the name carries over",
        "A.name\x01" "x\r\nB.hwnd\x01" "5\r\n\0"sv, {{"x", 5}}},
    DirectoryCase{"a ghost without any name",
        "A.hwnd\x01" "5\r\n"sv, {{"", 5}}},
    DirectoryCase{"hwnd 0 is not listed",
        "A.hwnd\x01" "0\r\nB.hwnd\x01" "7\r\n"sv, {{"", 7}}},
    DirectoryCase{"hwnd 65535, every window of the desktop, is not listed",
        "A.hwnd\x01" "65535\r\nB.hwnd\x01" "65534\r\nC.hwnd\x01" "65536\r\nD.hwnd\x01" "-4294901761\r\n"sv,
        {{"", 65534}, {"", 65536}}},
    DirectoryCase{"hwnd without leading digits is not listed",
        "A.hwnd\x01" "abc12\r\n"sv, {}},
    DirectoryCase{"hwnd read like strtoul: blanks, digits, junk",
        "A.hwnd\x01" "  42abc\r\n"sv, {{"", 42}}},
    DirectoryCase{"hwnd with a minus wraps modulo 2^32",
        "A.hwnd\x01" "-1\r\n"sv, {{"", 4294967295u}}},
    DirectoryCase{"hwnd too large saturates",
        "A.hwnd\x01" "99999999999\r\n"sv, {{"", 4294967295u}}},
    DirectoryCase{"a later hwnd of the same ghost replaces the earlier",
        "A.hwnd\x01" "5\r\nA.name\x01" "n\r\nA.hwnd\x01" "6\r\n"sv, {{"n", 6}}},
    DirectoryCase{"a later hwnd of 0 unlists the ghost",
        "A.hwnd\x01" "5\r\nA.hwnd\x01" "0\r\n"sv, {}},
    DirectoryCase{"an empty value is passed over and keeps the handle",
        "A.hwnd\x01" "7\r\nA.hwnd\x01\r\n\0"sv, {{"", 7}}},
    DirectoryCase{"keys are case-sensitive",
        "A.HWND\x01" "5\r\nA.Name\x01" "n\r\nB.hwnd\x01" "6\r\n"sv, {{"", 6}}},
    DirectoryCase{"ids are case-sensitive",
        "A.hwnd\x01" "5\r\na.hwnd\x01" "6\r\n"sv, {{"", 5}, {"", 6}}},
    DirectoryCase{"equal handles are not de-duplicated",
        "A.hwnd\x01" "100\r\nB.hwnd\x01" "100\r\n"sv, {{"", 100}, {"", 100}}},
    DirectoryCase{"dummy entries in any case are passed over without ending a run",
        "zed_fmo_header_dummyentry_1.hwnd\x01" "9\r\nA.hwnd\x01" "5\r\n"
        "ZED_FMO_HEADER_DUMMYENTRY_x.hwnd\x01" "9\r\nA.name\x01" "n\r\n\0"sv,
        {{"n", 5}}},
    DirectoryCase{"only the exact dummy prefix is passed over",
        "zed_fmo_header_dummyentrX_.hwnd\x01" "5\r\n"sv, {{"", 5}}},
    DirectoryCase{"malformed records are passed over without ending a run",
        "A.hwnd\x01" "5\r\nnodot\x01x\r\nA.\r\nA.name\r\nB.name\x01\r\nA.name\x01" "n\r\n"sv,
        {{"n", 5}}},
    DirectoryCase{"a 0x01 before the first dot makes no record",
        "x\x01" "A.hwnd\x01" "5\r\n"sv, {}},
    DirectoryCase{"the first dot splits id from key",
        "A.b.hwnd\x01" "5\r\nA.name\x01" "a.b\x01" "c\r\nA.hwnd\x01" "1\r\n"sv,
        {{"a.b\x01" "c", 1}}},
    DirectoryCase{"an empty id continues the starting run",
        ".hwnd\x01" "5\r\n"sv, {{"", 5}}},
    DirectoryCase{"text beginning with CR lists nothing",
        "\rA.hwnd\x01" "5\r\n"sv, {}},
    DirectoryCase{"text beginning with LF lists nothing",
        "\nA.hwnd\x01" "5\r\n"sv, {}},
    DirectoryCase{"text beginning with NUL lists nothing",
        "\0A.hwnd\x01" "5\r\n"sv, {}},
    DirectoryCase{"the first NUL ends the text",
        "A.hwnd\x01" "5\r\n\0B.hwnd\x01" "6\r\n"sv, {{"", 5}}},
    DirectoryCase{"a NUL can end a record",
        "A.hwnd\x01" "5\0B.hwnd\x01" "6\r\n"sv, {{"", 5}}},
    DirectoryCase{"a last record not ended is not read",
        "A.hwnd\x01" "5\r\nB.hwnd\x01" "6"sv, {{"", 5}}},
    DirectoryCase{"a lone record not ended is not read",
        "A.hwnd\x01" "5"sv, {}},
    DirectoryCase{"LF, CR and runs of blank lines all separate records",
        "A.hwnd\x01" "5\n\n\r\r\nB.hwnd\x01" "6\rC.hwnd\x01" "7\r"sv,
        {{"", 5}, {"", 6}, {"", 7}}},
    // As hosts write today: 32-byte ids of process and window, several ghosts
    // per process, keys beside hwnd and name (a kerohwnd read as hwnd would
    // change what is listed).
    DirectoryCase{"blocks as hosts write them today",
        "zed_fmo_header_dummyentry_0.hwnd\x01" "0\r\n"
        "zed_fmo_header_000002a5_002b3132.path\x01" "C:\\host\\\r\n"
        "zed_fmo_header_000002a5_002b3132.hwnd\x01" "2830642\r\n"
        "zed_fmo_header_000002a5_002b3132.name\x01" "Alpha\r\n"
        "zed_fmo_header_000002a5_002b3132.kerohwnd\x01" "2830700\r\n"
        "zed_fmo_header_000002a5_002b3132.ghostpath\x01" "C:\\host\\ghost\\alpha\\\r\n"
        "zed_fmo_header_000002a5_002b3133.keroname\x01" "Kero\r\n"
        "zed_fmo_header_000002a5_002b3133.hwnd\x01" "2830643\r\n"
        "zed_fmo_header_000002a5_002b3133.name\x01" "\x83\x5C\x95\x5C\r\n"
        "zed_fmo_header_00000310_00010050.hwnd\x01" "0\r\n"
        "zed_fmo_header_00000310_00010050.kerohwnd\x01" "65620\r\n\0"sv,
        {{"Alpha", 2830642}, {"\x83\x5C\x95\x5C", 2830643}}},
    // ソ表 in code page 932: both trail bytes are 0x5C.
    DirectoryCase{"code page 932 names are kept byte for byte",
        "A.name\x01\x83\x5C\x95\x5C\r\nA.hwnd\x01" "5\r\n"sv, {{"\x83\x5C\x95\x5C", 5}}}));
// clang-format on

// A ghost's name is taken from the text; a directory of many ghosts is read in
// one pass, whatever its records' order within each run.
TEST(ParseHostDirectory, ListsManyGhostsInOrder) {
    // clang-format off
    std::string text = "zed_fmo_header_dummyentry_0.hwnd\x01" "0\r\n";
    // clang-format on
    for (int i = 1; i <= 100; ++i) {
        const std::string id = "ghost_" + std::to_string(i);
        const std::string hwnd = id + ".hwnd\x01" + std::to_string(1000 + i) + "\r\n";
        const std::string name = id + ".name\x01n" + std::to_string(i) + "\r\n";
        text += i % 2 != 0 ? hwnd + name : name + hwnd;
    }
    text += '\0';
    GhostList list = ParseHostDirectory(text);
    ASSERT_EQ(list.size(), 100u);
    for (size_t i = 0; i < 100; ++i) {
        EXPECT_EQ(list.handles[i], 1001 + i);
        EXPECT_EQ(list.names[i], "n" + std::to_string(i + 1));
    }
}

}  // namespace
}  // namespace quillbin
