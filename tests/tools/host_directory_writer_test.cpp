#include "tools/ghost_host/host_directory_writer.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

constexpr std::string_view kHeader = "zed_fmo_header_dummyentry_quillbin.host\x01QuillbinGhostHost\r\n";
const DirectoryHost kHost{0x2a5, "C:\\host\\"};

uint32_t SizeField(const std::string& block) {
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(block[i]);
    return size;
}

TEST(HostDirectoryWriter, WritesSizeHeaderRecordsAndNul) {
    // "ゴースト" in code page 932.
    const std::string ghostName = "\x83\x53\x81\x5B\x83\x58\x83\x67";
    HostDirectory directory = BuildHostDirectory(kHost, {{"Alpha", 100}, {ghostName, 0x2b3132}}, 65536);
    // clang-format off
    const std::string expectedText = std::string(kHeader) +
        "zed_fmo_header_000002a5_00000064.path\x01" "C:\\host\\\r\n"
        "zed_fmo_header_000002a5_00000064.hwnd\x01" "100\r\n"
        "zed_fmo_header_000002a5_00000064.name\x01" "Alpha\r\n"
        "zed_fmo_header_000002a5_00000064.keroname\x01" "Alpha (partner)\r\n"
        "zed_fmo_header_000002a5_00000064.kerohwnd\x01" "0\r\n"
        "zed_fmo_header_000002a5_00000064.ghostpath\x01" "C:\\host\\ghost\\00000064\\\r\n"
        "zed_fmo_header_000002a5_002b3132.path\x01" "C:\\host\\\r\n"
        "zed_fmo_header_000002a5_002b3132.hwnd\x01" "2830642\r\n"
        "zed_fmo_header_000002a5_002b3132.name\x01" + ghostName + "\r\n"
        "zed_fmo_header_000002a5_002b3132.keroname\x01" + ghostName + " (partner)\r\n"
        "zed_fmo_header_000002a5_002b3132.kerohwnd\x01" "0\r\n"
        "zed_fmo_header_000002a5_002b3132.ghostpath\x01" "C:\\host\\ghost\\002b3132\\\r\n";
    // clang-format on
    const std::string& block = directory.bytes;
    ASSERT_EQ(block.size(), 4 + expectedText.size() + 1);
    EXPECT_EQ(SizeField(block), 4 + expectedText.size());
    EXPECT_EQ(block.substr(4, expectedText.size()), expectedText);
    EXPECT_EQ(block.back(), '\0');
    EXPECT_EQ(directory.ghosts, 2u);
}

TEST(HostDirectoryWriter, NoGhostsStillGivesTheHeaderRecord) {
    HostDirectory directory = BuildHostDirectory(kHost, {}, 65536);
    const std::string size = {static_cast<char>(4 + kHeader.size()), 0, 0, 0};
    EXPECT_EQ(directory.bytes, size + std::string(kHeader) + std::string(1, '\0'));
    EXPECT_EQ(directory.ghosts, 0u);
}

TEST(HostDirectoryWriter, LineEndsAndNulInANameCannotEndItsRecord) {
    HostDirectory directory = BuildHostDirectory(kHost, {{std::string("a\rb\nc\0d", 7), 5}}, 65536);
    EXPECT_NE(directory.bytes.find(std::string("00000005.name\x01") + "a?b?c?d\r\n"), std::string::npos);
    EXPECT_EQ(directory.bytes.find('\0', 4), directory.bytes.size() - 1);
}

TEST(HostDirectoryWriter, GhostsThatDoNotFitAreLeftOutWhole) {
    std::vector<DirectoryGhost> ghosts;
    for (uint32_t i = 0; i < 3000; ++i) ghosts.push_back({"Ghost number " + std::to_string(i), 100000 + i});
    for (size_t capacity : {size_t{65536}, size_t{1000}, kHeader.size() + 5}) {
        HostDirectory directory = BuildHostDirectory(kHost, ghosts, capacity);
        const std::string& block = directory.bytes;
        ASSERT_LE(block.size(), capacity);
        ASSERT_EQ(SizeField(block) + 1, block.size());
        EXPECT_LT(directory.ghosts, ghosts.size());
        // The text ends right after the last listed ghost's last record.
        std::string last = directory.ghosts == 0
                               ? std::string(kHeader)
                               : GhostDirectoryId(0, ghosts[directory.ghosts - 1].hwnd).substr(24) + "\\\r\n";
        EXPECT_EQ(block.substr(block.size() - 1 - last.size(), last.size()), last) << capacity;
        // One more ghost would not have fitted.
        if (directory.ghosts < ghosts.size()) {
            std::vector<DirectoryGhost> fewer(ghosts.begin(), ghosts.begin() + directory.ghosts + 1);
            EXPECT_GT(BuildHostDirectory(kHost, fewer, 1 << 20).bytes.size(), capacity);
        }
    }
    EXPECT_EQ(BuildHostDirectory(kHost, ghosts, kHeader.size() + 4).bytes, "");
}

}  // namespace
}  // namespace quillbin
