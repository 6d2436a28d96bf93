// The main dialog driven from outside, with the demo ghost host as its peer:
// what it shows at start, how it rejects and accepts the fields, a run to
// 127.0.0.1 from the list to the results event, and Enter.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/win/wide_text.h"
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

constexpr DWORD kRunTimeoutMs = 30000;
constexpr DWORD kBoxTimeoutMs = 5000;

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

TEST(MainDialog, OpensWithTheDefaultsAndTheFocusInTheHostField) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    EXPECT_EQ(dialog.Text(kHostField), L"");
    EXPECT_EQ(dialog.Text(kCountField), L"10");
    EXPECT_EQ(dialog.Text(kSizeField), L"18");
    EXPECT_EQ(dialog.Text(kTtlField), L"255");
    EXPECT_EQ(CheckState(dialog.Item(kDontFragmentBox)), BST_UNCHECKED);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog.Dialog()) == dialog.Item(kHostField); }, 2000));
    EXPECT_TRUE(dialog.Lines().empty());
    EXPECT_TRUE(dialog.SendEnabled());

    // The start-up event reached the ghost before the window showed.
    std::vector<LoggedRequest> boot = EventsNamed(host, kBootEvent);
    ASSERT_EQ(boot.size(), 1u);
    EXPECT_EQ(Printable(boot[0].bytes), Printable(SstpRequest(dialog.Dialog(), kBootBody)));
    EXPECT_EQ(boot[0].dwData, kSstpCopyDataId);
    EXPECT_EQ(boot[0].sender, reinterpret_cast<uintptr_t>(dialog.Dialog()));
}

struct RejectedCase {
    const char* what;
    int field;
    const wchar_t* text;
    const wchar_t* message;
};

const RejectedCase kRejected[] = {
    {"letters", kCountField, L"abc", kNotANumberMessage},
    {"empty", kCountField, L"", kNotANumberMessage},
    {"minus", kCountField, L"-5", kNotANumberMessage},
    {"count 0", kCountField, L"0", kCountRangeMessage},
    {"count 1000", kCountField, L"1000", kCountRangeMessage},
    {"eleven nines", kCountField, L"99999999999", kCountRangeMessage},
    {"digits then a letter", kCountField, L"12x", kNotANumberMessage},
    {"size 1501", kSizeField, L"1501", kSizeRangeMessage},
    {"size letters", kSizeField, L"big", kNotANumberMessage},
    {"TTL 0", kTtlField, L"0", kTtlRangeMessage},
    {"TTL 256", kTtlField, L"256", kTtlRangeMessage},
};

TEST(MainDialog, ARejectedFieldShowsItsMessageSelectsTheFieldAndStartsNoRun) {
    // A renamed copy: the message boxes are captioned with the new name.
    ProgramOptions options;
    options.fileName = L"echo tool.v2.exe";
    ProgramWithGhostHost e2e({}, options);
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    // One good run first, so that a run started by mistake would show in the
    // list, the status line and the host's log.
    ASSERT_TRUE(dialog.Fill({}));
    ASSERT_TRUE(RunAndWaitForResults(dialog, host, 1, kRunTimeoutMs));
    const std::vector<std::wstring> lines = dialog.Lines();
    const std::wstring status = dialog.Status();
    ASSERT_EQ(lines.size(), 1u);

    for (const RejectedCase& c : kRejected) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(dialog.Fill({}));
        ASSERT_TRUE(dialog.Type(c.field, c.text));
        dialog.PressSend();
        std::optional<MessageBoxSeen> box = WaitForMessageBox(dialog.Dialog(), kBoxTimeoutMs);
        ASSERT_TRUE(box.has_value()) << "no message box";
        EXPECT_EQ(box->caption, L"echo tool.v2");
        EXPECT_EQ(box->text, c.message);
        ASSERT_TRUE(DismissBox(box->window));

        HWND field = dialog.Item(c.field);
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog.Dialog()) == field; }, 2000)) << "focus elsewhere";
        std::pair<DWORD, DWORD> whole{0, static_cast<DWORD>(std::wcslen(c.text))};
        EXPECT_EQ(EditSelection(field), whole);
        EXPECT_EQ(dialog.Lines(), lines);
        EXPECT_EQ(dialog.Status(), status);
        EXPECT_TRUE(dialog.SendEnabled());
        EXPECT_EQ(FindMessageBox(dialog.Dialog()), nullptr) << "a second message";
    }
    // A run of one echo to 127.0.0.1 would have reported well within this.
    EXPECT_TRUE(HoldsFor([&] { return EventsNamed(host, kResultsEvent).size() == 1; }, 1000));
}

TEST(MainDialog, OnlyTheFirstFailingFieldIsReportedAndTheLaterOnesKeepTheirValues) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"0", L"18", L"256"}));
    dialog.PressSend();
    std::optional<MessageBoxSeen> box = WaitForMessageBox(dialog.Dialog(), kBoxTimeoutMs);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, kCountRangeMessage);
    ASSERT_TRUE(DismissBox(box->window));
    EXPECT_TRUE(HoldsFor([&] { return FindMessageBox(dialog.Dialog()) == nullptr; }, 500)) << "a second message";
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog.Dialog()) == dialog.Item(kCountField); }, 2000));

    // What the members hold shows in the file written at closing: the count
    // that failed its range, and the TTL as it was before (255), not 256.
    // The closing exchange fails on the count again and says so.
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_ESCAPE));
    box = WaitForMessageBox(dialog.Dialog(), kBoxTimeoutMs);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, kCountRangeMessage);
    ASSERT_TRUE(DismissBox(box->window));
    ASSERT_TRUE(program.WaitForExit(10000));
    std::optional<std::string> settings = program.ReadSettings();
    ASSERT_TRUE(settings.has_value());
    EXPECT_NE(settings->find("PingNum=0\r\n"), std::string::npos) << *settings;
    EXPECT_NE(settings->find("PingTTL=255\r\n"), std::string::npos) << *settings;
    EXPECT_EQ(EventsNamed(host, kResultsEvent).size(), 0u);
}

TEST(MainDialog, TheEdgeValuesAndBlanksAroundANumberAreAccepted) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    struct Accepted {
        const char* what;
        Fields fields;
        size_t lines;
        std::wstring lineStart;
        const wchar_t* status;
    } cases[] = {
        {"count 1, size 0, TTL 255",
         {L"127.0.0.1", L"1", L"0", L"255"},
         1,
         LoopbackOkLineStart() + L"0 : )",
         L"OK=1"},
        {"size 1500, TTL 1", {L"127.0.0.1", L"1", L"1500", L"1"}, 1, LoopbackOkLineStart() + L"1500 : ", L"OK=1"},
        {"blanks and tabs around 12", {L"127.0.0.1", L" \t12\t ", L"18", L"255"}, 12, LoopbackOkLine(), L"OK=12"},
    };
    size_t runs = 0;
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(dialog.Fill(c.fields));
        ASSERT_TRUE(RunAndWaitForResults(dialog, host, ++runs, kRunTimeoutMs)) << "no results event";
        EXPECT_EQ(FindMessageBox(dialog.Dialog()), nullptr);
        std::vector<std::wstring> lines = dialog.Lines();
        ASSERT_EQ(lines.size(), c.lines);
        for (const std::wstring& line : lines) EXPECT_EQ(MaskListTime(line).rfind(c.lineStart, 0), 0u) << line;
        EXPECT_EQ(dialog.Status(), c.status);
    }

    // The largest count starts a run that would take minutes: its start and
    // first line show that it was accepted.
    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"999", L"18", L"255"}));
    dialog.PressSend();
    EXPECT_TRUE(WaitUntil(
        [&] {
            std::vector<std::wstring> lines = dialog.Lines();
            return !dialog.SendEnabled() && dialog.Status() == L"Working..." && !lines.empty() &&
                   MaskListTime(lines[0]) == LoopbackOkLine();
        },
        kRunTimeoutMs));
    EXPECT_EQ(FindMessageBox(dialog.Dialog()), nullptr);
}

TEST(MainDialog, ARunToLoopbackShowsItsLinesAndCountsAndReportsToEveryGhost) {
    ProgramWithGhostHost e2e({"--ghost", "Alpha", "--ghost", "Beta"});
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"3", L"18", L"255"}));
    ASSERT_TRUE(RunAndWaitForResults(dialog, host, 2, kRunTimeoutMs));

    std::vector<std::wstring> lines = dialog.Lines();
    ASSERT_EQ(lines.size(), 3u);
    for (const std::wstring& line : lines) EXPECT_EQ(MaskListTime(line), LoopbackOkLine());
    EXPECT_EQ(dialog.Status(), L"OK=3");

    std::vector<LoggedRequest> results = EventsNamed(host, kResultsEvent);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].ghost, "Alpha");
    EXPECT_EQ(results[1].ghost, "Beta");
    std::string expected = SstpRequest(dialog.Dialog(), LoopbackResultsBody(3));
    for (const LoggedRequest& request : results) {
        EXPECT_EQ(Printable(MaskReferenceTimes(request.bytes)), Printable(expected));
        EXPECT_EQ(request.dwData, kSstpCopyDataId);
        // Sent from the worker thread, still in the dialog's name.
        EXPECT_EQ(request.sender, reinterpret_cast<uintptr_t>(dialog.Dialog()));
    }
    EXPECT_EQ(results[0].bytes, results[1].bytes);
}

// A faulty host lists a ghost under 65535, which as a window handle means
// every top-level window. Sent there, each event would reach windows that no
// directory lists (that ghost's own, which answers after 4 s), and the real
// ghost twice; the start-up event, sent before the window shows, would keep
// the program from appearing for as long as the slowest of them.
TEST(MainDialog, AnEntryUnderTheBroadcastHandleReachesNoWindowAndDelaysNothing) {
    DWORD startup[2] = {};  // from the process's start until its window shows
    for (bool faultyEntry : {false, true}) {
        SCOPED_TRACE(faultyEntry ? "with the entry" : "the ghost alone");
        std::vector<std::string> ghosts{"--ghost", "Demo"};
        if (faultyEntry) ghosts.insert(ghosts.end(), {"--ghost", "Everyone:broadcast=4000"});
        ProgramWithGhostHost e2e(ghosts);
        ASSERT_TRUE(e2e.Start()) << e2e.error();
        auto& [host, program, dialog] = e2e;
        startup[faultyEntry] = ::GetTickCount() - program.StartTick();
        ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"1", L"18", L"255"}));
        ASSERT_TRUE(RunAndWaitForResults(dialog, host, 1, kRunTimeoutMs));
        ASSERT_TRUE(PressKey(dialog.Dialog(), VK_ESCAPE));
        ASSERT_TRUE(program.WaitForExit(kRunTimeoutMs));

        for (std::string_view event : {kBootEvent, kResultsEvent, kCloseEvent}) {
            EXPECT_EQ(EventsNamed(host, event, "Demo").size(), 1u) << event;
        }
        EXPECT_EQ(host.Requests().size(), 3u) << "a window that no directory lists got a request";
    }
    EXPECT_LT(startup[1], startup[0] + 2000) << "the ghost alone: " << startup[0] << " ms";
}

TEST(MainDialog, EnterStartsARunAndDoesNothingWhileOneIsUnderWay) {
    ProgramWithGhostHost e2e({"--ghost", "Quick"});
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;
    // A ghost that takes its time keeps each run, and the send button's
    // disabling, going for 2.5 s after the echoes.
    ASSERT_TRUE(host.Command("add Slow:delay=2500"));
    ASSERT_TRUE(RefreshGhostsNow(dialog.Dialog()));

    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"2", L"18", L"255"}));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog.Dialog()) == dialog.Item(kHostField); }, 2000));
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_RETURN));
    ASSERT_TRUE(WaitForEvents(host, kResultsEvent, 1, kRunTimeoutMs, "Quick"))
        << "Enter started no run; " << dialog.Describe();
    ASSERT_FALSE(dialog.SendEnabled());

    // Now the run waits for the slow ghost: Enter must not start another.
    ASSERT_EQ(FocusOf(dialog.Dialog()), dialog.Item(kHostField));
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_RETURN));
    ASSERT_TRUE(dialog.WaitIdle(kRunTimeoutMs));
    // A second run would have reached the quick ghost as soon as the slow one
    // let go of the first.
    EXPECT_TRUE(HoldsFor([&] { return EventsNamed(host, kResultsEvent, "Quick").size() == 1; }, 1500));
    EXPECT_EQ(dialog.Lines().size(), 2u);

    // Once the run is over, Enter works again.
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_RETURN));
    EXPECT_TRUE(WaitForEvents(host, kResultsEvent, 2, kRunTimeoutMs, "Quick"));
    EXPECT_TRUE(dialog.WaitIdle(kRunTimeoutMs));
}

// A click on the send button gives it the focus, and the run disables it: a
// disabled window loses the focus, and keys then reach only the dialog
// itself, as system keys that the dialog manager ignores. The keyboard must
// still work after such a run.
TEST(MainDialog, AfterARunStartedWithTheSendButtonEnterAndEscStillWork) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    auto& [host, program, dialog] = e2e;

    ASSERT_TRUE(dialog.Fill({}));
    ASSERT_TRUE(RunAndWaitForResults(dialog, host, 1, kRunTimeoutMs));

    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_RETURN));
    EXPECT_TRUE(WaitForEvents(host, kResultsEvent, 2, 5000)) << "Enter did not start a run";
    ASSERT_TRUE(dialog.WaitIdle(kRunTimeoutMs));
    ASSERT_TRUE(PressKey(dialog.Dialog(), VK_ESCAPE));
    EXPECT_TRUE(program.WaitForExit(5000)) << "Esc did not close the dialog";
}

}  // namespace
}  // namespace quillbin::win::e2e
