// The end of the session as Windows brings it to the dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/owned_boxes.h"
#include "tests/e2e/program_with_ghost_host.h"
#include "tests/e2e/window_access.h"

namespace quillbin::win::e2e {
namespace {

constexpr DWORD kExitTimeoutMs = 10000;

// At sign-out, restart or shutdown Windows asks every top-level window
// whether the session may end, tells it that it ends, and ends the process
// once that returns: whatever the program keeps must be kept by then, with
// no box to hold the session up. The slow ghost keeps a results delivery or
// a closing event under way while the session ends.
TEST(SessionEnd, KeepsTheSettingsWithoutABoxAndSendsOneClosingEvent) {
    struct SessionCase {
        const char* what;
        const char* ghost;
        Fields fields;
        std::function<void(ProgramWithGhostHost&)> meanwhile;
        std::vector<std::string> file;
    };
    const SessionCase cases[] = {
        {"idle",
         "Demo",
         {L"127.0.0.1", L"3", L"32", L"128"},
         [](ProgramWithGhostHost&) {},
         SettingsFileLines("3", "32", "128", "0", "127.0.0.1")},
        // The fields after the one that fails keep their former values.
        {"a field that fails",
         "Demo",
         {L"localhost", L"abc", L"32", L"128"},
         [](ProgramWithGhostHost&) {},
         SettingsFileLines("10", "18", "255", "0", "localhost")},
        {"a run delivering its results",
         "Slow:delay=1500",
         {L"127.0.0.1", L"1", L"32", L"128"},
         [](ProgramWithGhostHost& e2e) {
             e2e.dialog.PressSend();
             ASSERT_TRUE(WaitForEvents(e2e.host, kResultsEvent, 1, kExitTimeoutMs));
         },
         SettingsFileLines("1", "32", "128", "0", "127.0.0.1")},
        {"a close sending its closing event",
         "Slow:delay=1500",
         {L"127.0.0.1", L"2", L"32", L"128"},
         [](ProgramWithGhostHost& e2e) {
             ASSERT_TRUE(PressKey(e2e.dialog.Dialog(), VK_ESCAPE));
             ASSERT_TRUE(WaitForEvents(e2e.host, kCloseEvent, 1, kExitTimeoutMs));
         },
         SettingsFileLines("2", "32", "128", "0", "127.0.0.1")},
    };
    for (const SessionCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramWithGhostHost e2e({"--ghost", c.ghost});
        ASSERT_TRUE(e2e.Start()) << e2e.error();
        auto& [host, program, dialog] = e2e;
        ASSERT_TRUE(dialog.Fill(c.fields));
        ASSERT_NO_FATAL_FAILURE(c.meanwhile(e2e));

        DWORD_PTR consent = 0;
        ASSERT_NE(::SendMessageTimeoutW(dialog.Dialog(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                        kExitTimeoutMs, &consent),
                  0);
        EXPECT_EQ(consent, static_cast<DWORD_PTR>(TRUE));
        DWORD_PTR ignored = 0;
        ASSERT_NE(::SendMessageTimeoutW(dialog.Dialog(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                        kExitTimeoutMs, &ignored),
                  0)
            << "the session's end was held up";
        EXPECT_EQ(FindMessageBox(dialog.Dialog()), nullptr);
        program.Terminate();

        EXPECT_EQ(EventsNamed(host, kCloseEvent).size(), 1u);
        std::optional<std::string> settings = program.ReadSettings();
        ASSERT_TRUE(settings.has_value());
        EXPECT_EQ(FileLines(*settings), c.file) << *settings;
    }
}

}  // namespace
}  // namespace quillbin::win::e2e
