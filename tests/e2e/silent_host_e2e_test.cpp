// Closing in the middle of a long run whose echoes get no answer. Run by
// silent_host.sh inside a network namespace of its own, where QB_SILENT_HOST
// names a host that drops every echo (each waits out its 5 s time-out).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/win/wide_text.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/program_with_ghost_host.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace quillbin::win::e2e {
namespace {

// The echo under way may take its whole time-out; the closing event to a
// ghost that answers at once adds little. The bound leaves room for a busy
// machine.
constexpr DWORD kCloseBoundMs = 5000 + 3000;

TEST(SilentHost, ClosingDuringALongRunEndsTheProcessWithoutAResultsEvent) {
    const char* silent = std::getenv("QB_SILENT_HOST");
    if (!silent) GTEST_SKIP() << "needs the namespace that silent_host.sh sets up";
    ProgramOptions options;
    options.settings =
        std::string("[General]\r\nPingNum=10\r\nPingSize=18\r\nPingTTL=255\r\nPingNF=0\r\nPingHost=") + silent + "\r\n";
    ProgramWithGhostHost e2e({}, options);
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;
    ASSERT_EQ(dialog.Text(kHostField), WideFromUtf8(silent));

    // Started with Enter in the host field, which keeps the focus there.
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog.Dialog()) == dialog.Item(kHostField); }, 2000));
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_RETURN));
    // The first echo times out; the second is then under way.
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::vector<std::wstring> lines = dialog.Lines();
            return lines.size() == 1 && lines[0] == kTimedOutLine;
        },
        15000))
        << "the first echo did not time out";
    EXPECT_EQ(dialog.Status(), L"Working...");
    ASSERT_FALSE(dialog.SendEnabled());

    DWORD pressed = ::GetTickCount();
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_ESCAPE));
    // The user sees it close at once; the closing steps go on unseen and
    // wait for the echo under way (seconds yet), so no closing event yet.
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(dialog.Dialog()); }, 5000, 1)) << "the window stayed";
    std::printf("the window was hidden %lu ms after Esc\n", static_cast<unsigned long>(::GetTickCount() - pressed));
    EXPECT_TRUE(::IsWindow(dialog.Dialog()));
    EXPECT_TRUE(EventsNamed(host, kCloseEvent).empty()) << "closed before it was hidden";
    bool closed = WaitUntil([&] { return !::IsWindow(dialog.Dialog()); }, 30000);
    DWORD closingMs = ::GetTickCount() - pressed;
    std::printf("the window closed %lu ms after Esc\n", static_cast<unsigned long>(closingMs));
    RecordProperty("closing_ms", static_cast<int>(closingMs));
    ASSERT_TRUE(closed) << "the window did not close";
    EXPECT_LT(closingMs, kCloseBoundMs);
    EXPECT_TRUE(program.WaitForExit(10000)) << "the process did not end";

    EXPECT_TRUE(EventsNamed(host, kResultsEvent).empty()) << "a results event for an unfinished run";
    EXPECT_EQ(EventsNamed(host, kCloseEvent).size(), 1u);
    std::optional<std::string> settings = program.ReadSettings();
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(FileLines(*settings), SettingsFileLines("10", "18", "255", "0", silent)) << *settings;
}

}  // namespace
}  // namespace quillbin::win::e2e
