// The settings file through the platform's private-profile calls, against
// real files in a folder of the test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework/win/wide_text.h"
#include "settings/win/settings_file.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"

namespace quillbin::win {
namespace {

// "ホスト名―刻潤雀攝搓ｶﾀ" in code page 932: among its bytes, as lead and as
// trail bytes, the five that code page 1252 leaves undefined (81 8D 8F 90 9D),
// and a trail byte that is '\' (5C).
constexpr char kJapaneseHost[] =
    "\x83\x7a\x83\x58\x83\x67\x96\xbc\x81\x5c\x8d\x8f\x8f\x81\x90\x9d\x9d\x90\x9d\x8d\xb6\xc0";

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.ok()); }
    std::string FileText() const { return ReadWholeFile(m_path).value_or(""); }
    void WriteFileText(const std::string& text) const { ASSERT_TRUE(WriteWholeFile(m_path, text)); }

    TempFolder m_folder{L"quillbin-settings"};
    std::wstring m_path = m_folder.File(L"pinger.ini");
};

TEST_F(SettingsFileTest, NoFileGivesDefaultsAndClosingCreatesItKeysInOrder) {
    PingSettings settings{"old", 1, 2, 1, 3};
    LoadSettings(m_path, settings);
    EXPECT_EQ(settings.count, 10u);
    EXPECT_EQ(settings.dataSize, 18u);
    EXPECT_EQ(settings.ttl, 255u);
    EXPECT_EQ(settings.dontFragment, 0);
    EXPECT_EQ(settings.host, "");

    SaveSettings(m_path, settings);
    EXPECT_EQ(FileText(), "[General]\r\nPingNum=10\r\nPingSize=18\r\nPingTTL=255\r\nPingNF=0\r\nPingHost=\r\n");
}

TEST_F(SettingsFileTest, ValuesLoadUnchangedAndPingNfFoldsToOne) {
    WriteFileText(std::string("[General]\r\nPingNum=5000\r\nPingSize=1501\r\nPingTTL=0\r\nPingNF=7\r\nPingHost=") +
                  kJapaneseHost + "\r\n");
    PingSettings settings;
    LoadSettings(m_path, settings);
    EXPECT_EQ(settings.count, 5000u);
    EXPECT_EQ(settings.dataSize, 1501u);
    EXPECT_EQ(settings.ttl, 0u);
    EXPECT_EQ(settings.dontFragment, 1);
    EXPECT_EQ(settings.host, kJapaneseHost);

    SaveSettings(m_path, settings);
    EXPECT_EQ(FileText(), std::string("[General]\r\nPingNum=5000\r\nPingSize=1501\r\nPingTTL=0\r\nPingNF=1\r\n"
                                      "PingHost=") +
                              kJapaneseHost + "\r\n");
}

TEST_F(SettingsFileTest, HostIsCutTo1022Bytes) {
    WriteFileText("[General]\r\nPingHost=" + std::string(1500, 'h') + "\r\n");
    PingSettings settings;
    LoadSettings(m_path, settings);
    EXPECT_EQ(settings.host, std::string(1022, 'h'));

    // A character that the cut would split is left out whole.
    WriteFileText("[General]\r\nPingHost=" + std::string(1021, 'h') + "\x83\x7a\r\n");
    LoadSettings(m_path, settings);
    EXPECT_EQ(settings.host, std::string(1021, 'h') + (::IsDBCSLeadByte(0x83) ? "" : "\x83"));
}

// A file that cannot be written keeps its former content, and the next
// start reads that; nothing is reported.
TEST_F(SettingsFileTest, UnwritableFileKeepsItsContent) {
    const std::string before = "[General]\r\nPingNum=3\r\n";
    WriteFileText(before);
    {
        // Held open by another program that shares it with nobody.
        HANDLE held = ::CreateFileW(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        SaveSettings(m_path, PingSettings{"example.org", 7, 8, 1, 9});
        ::CloseHandle(held);
    }
    EXPECT_EQ(FileText(), before);
    PingSettings settings;
    LoadSettings(m_path, settings);
    EXPECT_EQ(settings.count, 3u);
}

// Wine lets root write read-only files: the test command hands this test
// one that the kernel refuses to change even for root (read_only_file.sh).
TEST_F(SettingsFileTest, ReadOnlyFileKeepsItsContent) {
    if (const wchar_t* prepared = ::_wgetenv(L"QB_READ_ONLY_SETTINGS")) {
        m_path = prepared;
    } else {
        WriteFileText("[General]\r\nPingNum=3\r\n");
        ASSERT_TRUE(::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const DWORD attributes = ::GetFileAttributesW(m_path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    ASSERT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
    const std::string before = FileText();
    ASSERT_NE(before.find("PingNum=3"), std::string::npos);
    HANDLE probe = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        GTEST_SKIP() << "this account may write read-only files (root under Wine), and " << Utf8FromWide(m_path)
                     << " could not be made immutable";
    }
    SaveSettings(m_path, PingSettings{"example.org", 7, 8, 1, 9});
    EXPECT_EQ(FileText(), before);
}

TEST_F(SettingsFileTest, WithoutAPathNothingIsReadOrWritten) {
    PingSettings settings{"old", 1, 2, 1, 3};
    LoadSettings(L"", settings);
    EXPECT_EQ(settings.count, 10u);
    EXPECT_EQ(settings.host, "");
    SaveSettings(L"", settings);  // must not reach the profile calls with an empty path
}

TEST(SettingsFilePath, IsTheExecutablesPathWithIni) {
    EXPECT_EQ(SettingsFilePath(), ProgramDirectory() + L"settings_win_test.ini");
}

}  // namespace
}  // namespace quillbin::win
