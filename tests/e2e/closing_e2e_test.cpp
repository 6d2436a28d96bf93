// Closing the dialog: the closing event, the settings file beside the
// executable, and settings that the file holds out of the fields' ranges.
// Built into e2e_locale_test, so it runs under code page 932 and under 1252.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/owned_boxes.h"
#include "tests/e2e/program_with_ghost_host.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace quillbin::win::e2e {
namespace {

constexpr DWORD kExitTimeoutMs = 10000;

void PressEscape(HWND dialog) { ASSERT_TRUE(PressKey(dialog, VK_ESCAPE)); }
void ChooseClose(HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

struct ClosingCase {
    const char* what;
    std::function<void(const DialogDriver&)> edit;
    std::function<void(HWND)> close;
    std::vector<std::string> file;
    // The settings file the copy starts with, and where it lies.
    std::optional<std::string> settings = std::nullopt;
    std::wstring folderStem = L"quillbin_e2e";
};

// "ホスト" in code page 932.
constexpr char kJapaneseHost[] = "\x83\x7a\x83\x58\x83\x67.example";

TEST(Closing, SendsTheClosingEventEndsTheProcessAndWritesTheFieldsShown) {
    const ClosingCase cases[] = {
        {"untouched, Esc", [](const DialogDriver&) {}, PressEscape, SettingsFileLines("10", "18", "255", "0", "")},
        {"edited, Esc",
         [](const DialogDriver& dialog) {
             ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"3", L"32", L"128"}));
             PostClick(dialog.Item(kDontFragmentBox));
             ASSERT_TRUE(WaitUntil([&] { return CheckState(dialog.Item(kDontFragmentBox)) == BST_CHECKED; }, 2000));
         },
         PressEscape, SettingsFileLines("3", "32", "128", "1", "127.0.0.1")},
        {"edited, Close in the system menu",
         [](const DialogDriver& dialog) {
             ASSERT_TRUE(dialog.Fill({L"localhost", L"999", L"1500", L"1"}));
         },
         ChooseClose, SettingsFileLines("999", "1500", "1", "0", "localhost")},
        // Hangul, which neither code page 932 nor 1252 can write, with Latin
        // and Japanese: the file there loads (its values come back beside
        // the count typed).
        {"in a folder that the ANSI code page cannot name, edited, Esc",
         [](const DialogDriver& dialog) { ASSERT_TRUE(dialog.Type(kCountField, L"3")); }, PressEscape,
         SettingsFileLines("3", "64", "100", "1", kJapaneseHost),
         std::string("[General]\r\nPingNum=7\r\nPingSize=64\r\nPingTTL=100\r\nPingNF=1\r\nPingHost=") + kJapaneseHost,
         L"설정_é_日本"},
    };
    for (const ClosingCase& c : cases) {
        SCOPED_TRACE(c.what);
        // Renamed: the settings file takes the copy's name.
        ProgramOptions options;
        options.fileName = L"pinger.exe";
        options.settings = c.settings;
        options.folderStem = c.folderStem;
        ProgramWithGhostHost e2e({}, options);
        ASSERT_TRUE(e2e.Start()) << e2e.error();
        auto& [host, program, dialog] = e2e;
        ASSERT_NO_FATAL_FAILURE(c.edit(dialog));

        c.close(dialog.Dialog());
        ASSERT_TRUE(WaitForEvents(host, kCloseEvent, 1, kExitTimeoutMs)) << "no closing event";
        ASSERT_TRUE(program.WaitForExit(kExitTimeoutMs)) << "the process did not end";
        EXPECT_FALSE(::IsWindow(dialog.Dialog()));

        std::vector<LoggedRequest> closing = EventsNamed(host, kCloseEvent);
        ASSERT_EQ(closing.size(), 1u);
        EXPECT_EQ(closing[0].bytes, SstpRequest(dialog.Dialog(), kCloseBody));
        EXPECT_EQ(closing[0].dwData, kSstpCopyDataId);
        EXPECT_TRUE(EventsNamed(host, kResultsEvent).empty());

        std::optional<std::string> settings = program.ReadSettings();
        ASSERT_TRUE(settings.has_value()) << "no pinger.ini";
        EXPECT_EQ(FileLines(*settings), c.file) << *settings;
        EXPECT_FALSE(ReadWholeFile(program.Folder() + L"quillbin.ini").has_value());
    }
}

TEST(Closing, SettingsOutOfRangeAreShownAsTheyAreRefusedAtSendAndWrittenBack) {
    ProgramOptions options;
    options.settings = "[General]\r\nPingNum=5000\r\nPingSize=18\r\nPingTTL=0\r\nPingNF=7\r\nPingHost=127.0.0.1\r\n";
    ProgramWithGhostHost e2e({}, options);
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    EXPECT_EQ(dialog.Text(kHostField), L"127.0.0.1");
    EXPECT_EQ(dialog.Text(kCountField), L"5000");
    EXPECT_EQ(dialog.Text(kSizeField), L"18");
    EXPECT_EQ(dialog.Text(kTtlField), L"0");
    EXPECT_EQ(CheckState(dialog.Item(kDontFragmentBox)), BST_CHECKED);
    EXPECT_TRUE(HoldsFor([&] { return FindMessageBox(dialog.Dialog()) == nullptr; }, 500)) << "a message at start";

    // The count is checked first, so its range is what the message gives.
    dialog.PressSend();
    std::optional<MessageBoxSeen> box = WaitForMessageBox(dialog.Dialog(), 5000);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, kCountRangeMessage);
    ASSERT_TRUE(DismissBox(box->window));
    EXPECT_TRUE(dialog.SendEnabled());

    // Closing without a correction says the same and still writes the file:
    // the count as it stands, the TTL as loaded, the check box as 1.
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_ESCAPE));
    box = WaitForMessageBox(dialog.Dialog(), 5000);
    ASSERT_TRUE(box.has_value()) << "no message at closing";
    EXPECT_EQ(box->text, kCountRangeMessage);
    ASSERT_TRUE(DismissBox(box->window));
    ASSERT_TRUE(program.WaitForExit(kExitTimeoutMs));
    EXPECT_EQ(EventsNamed(host, kCloseEvent).size(), 1u);
    EXPECT_TRUE(EventsNamed(host, kResultsEvent).empty());
    std::optional<std::string> settings = program.ReadSettings();
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(FileLines(*settings), SettingsFileLines("5000", "18", "0", "1", "127.0.0.1")) << *settings;
}

}  // namespace
}  // namespace quillbin::win::e2e
