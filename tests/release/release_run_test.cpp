// The downloaded program on its own: quillbin.exe as unzipped from the
// release package, alone in its folder in a fresh Wine prefix (release_check.sh
// prepares both and names the program in QB_RELEASE_EXE), runs a loopback
// run, and the demo ghost host receives the start-up, results and closing
// events.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/win/wide_text.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"

namespace quillbin::win::e2e {
namespace {

TEST(ReleasePackage, UnzippedAloneItRunsToLoopbackAndEveryEventReachesTheGhost) {
    const char* exe = std::getenv("QB_RELEASE_EXE");
    ASSERT_NE(exe, nullptr) << "QB_RELEASE_EXE names the unzipped program";
    GhostHostProcess host;
    ASSERT_TRUE(host.ready()) << host.error();
    ProgramOptions options;
    options.inPlace = WideFromUtf8(exe);
    QuillbinProcess program(options);
    ASSERT_TRUE(program.Start()) << program.error();
    DialogDriver dialog(program.Dialog());
    HWND window = program.Dialog();

    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"3", L"18", L"255"}));
    ASSERT_TRUE(RunAndWaitForResults(dialog, host, 1, 30000)) << dialog.Describe();
    std::vector<std::wstring> lines = dialog.Lines();
    ASSERT_EQ(lines.size(), 3u);
    for (const std::wstring& line : lines) EXPECT_EQ(MaskListTime(line), LoopbackOkLine());
    EXPECT_EQ(dialog.Status(), L"OK=3");

    ASSERT_TRUE(PressKey(window, VK_ESCAPE));
    ASSERT_TRUE(program.WaitForExit(15000));
    EXPECT_EQ(program.ExitCode(), 0u);

    std::vector<LoggedRequest> boot = EventsNamed(host, kBootEvent);
    std::vector<LoggedRequest> results = EventsNamed(host, kResultsEvent);
    ASSERT_TRUE(WaitForEvents(host, kCloseEvent, 1, 5000));
    std::vector<LoggedRequest> close = EventsNamed(host, kCloseEvent);
    ASSERT_EQ(boot.size(), 1u);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(boot[0].bytes, SstpRequest(window, kBootBody));
    EXPECT_EQ(MaskReferenceTimes(results[0].bytes), SstpRequest(window, LoopbackResultsBody(3)));
    EXPECT_EQ(close[0].bytes, SstpRequest(window, kCloseBody));
    // The folder beside it was writable: the settings are kept there.
    EXPECT_TRUE(program.ReadSettings().has_value());
}

}  // namespace
}  // namespace quillbin::win::e2e
