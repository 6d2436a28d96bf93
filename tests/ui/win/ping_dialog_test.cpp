// The main dialog in this process, with scripted echoes: the send button
// against a second run, the texts a run shows, and closing while a run is
// under way.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/win/wide_text.h"
#include "tests/support/files.h"
#include "tests/support/ghost_host_fixture.h"
#include "tests/ui/win/test_ping_dialog.h"
#include "ui/dialog_ids.h"

namespace quillbin::win::testing {
namespace {

// A settings file of the test's own, in a fresh temporary folder that goes
// with it.
class PrivateSettingsFile {
public:
    const std::wstring& path() const { return m_path; }

private:
    TempFolder m_folder{L"quillbin_ui"};
    std::wstring m_path = m_folder.File(L"quillbin.ini");
};

std::string ReadSetting(const std::wstring& path, const char* key) {
    char value[256] = {};
    ::GetPrivateProfileStringA("General", key, "<missing>", value, sizeof value, AnsiFromWide(path).c_str());
    return value;
}

// Ends the process if the dialog never returns: a window thread that blocks
// on the worker would otherwise hang the whole test run. `onHang` stops what
// the test started (a child process would keep the test's output open).
class Watchdog {
public:
    explicit Watchdog(DWORD limitMs, std::function<void()> onHang = {})
        : m_done(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this, limitMs, onHang] {
            if (::WaitForSingleObject(m_done.get(), limitMs) == WAIT_TIMEOUT) {
                std::fprintf(stderr, "the dialog did not return within %lu ms\n", static_cast<unsigned long>(limitMs));
                std::fflush(stderr);
                if (onHang) onHang();
                ::TerminateProcess(::GetCurrentProcess(), 99);
            }
        });
    }
    ~Watchdog() {
        ::SetEvent(m_done.get());
        m_thread.join();
    }

private:
    UniqueHandle m_done;
    std::thread m_thread;
};

bool SendEnabled(const TestPingDialog& d) { return ::IsWindowEnabled(d.Item(kSendButton)) != FALSE; }

bool RunEnded(const TestPingDialog& d) { return SendEnabled(d) && d.ItemText(kStatusLine) != L"Working..."; }

// The static text of a message box.
constexpr int kMessageBoxText = 0xFFFF;

void PostClick(const TestPingDialog& d, int button) {
    ::PostMessageW(d.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(d.Item(button)));
}

// Fills the host (loopback), the count and, when given, the TTL, and presses send.
void StartRun(TestPingDialog& d, const wchar_t* count, const wchar_t* ttl = nullptr) {
    d.SetField(kHostField, L"127.0.0.1");
    d.SetField(kCountField, count);
    if (ttl) d.SetField(kTtlField, ttl);
    d.ClickSend();
}

TEST(PingDialogTest, SendDisablesTheButtonBeforeTheWorkerStartsAndAllowsOneRunAtATime) {
    EchoScript script;
    script.echoMs = 200;
    PrivateSettingsFile settings;
    TestPingDialog dialog(settings.path(), script);
    bool enabledAfterPress = true;
    std::wstring status;
    std::vector<std::wstring> lines;
    dialog.steps = {
        [&](TestPingDialog& d) {
            StartRun(d, L"3", L"64");
            enabledAfterPress = SendEnabled(d);
            // A press that still reaches the dialog, as a message, during the run.
            d.ClickSend();
            return true;
        },
        [&](TestPingDialog& d) {
            if (!SendEnabled(d) || d.ItemText(kStatusLine) == L"Working...") return false;
            status = d.ItemText(kStatusLine);
            for (int i = 0; i < d.ListCount(); ++i) lines.push_back(d.ListLine(i));
            d.RequestClose();
            return true;
        },
    };
    Watchdog watchdog(30000);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);

    EXPECT_EQ(dialog.bindingsMade, 1);
    ASSERT_EQ(dialog.sendEnabledAtBindings.size(), 1u);
    EXPECT_FALSE(dialog.sendEnabledAtBindings[0]) << "the worker was started with the button still enabled";
    EXPECT_FALSE(enabledAfterPress);
    EXPECT_EQ(script.echoesSent.load(), 3);
    // Whatever the ANSI code page, the run's code page 932 texts arrive intact.
    EXPECT_EQ(status, L"OK=3");
    ASSERT_EQ(lines.size(), 3u);
    for (const std::wstring& line : lines) {
        EXPECT_EQ(line, L"OK 127.0.0.1 Time=200ms TTL=64 (18 : もこぴょんもこもこ)");
    }
}

// The spin buttons stop where the validation does.
TEST(PingDialogTest, EachSpinButtonStopsAtItsFieldsRange) {
    EchoScript script;
    PrivateSettingsFile settings;
    TestPingDialog dialog(settings.path(), script);
    std::vector<std::pair<int, int>> ranges;
    dialog.steps = {[&](TestPingDialog& d) {
        for (int spin : {kCountSpin, kSizeSpin, kTtlSpin}) {
            int lower = -1, upper = -1;
            ::SendMessageW(d.Item(spin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                           reinterpret_cast<LPARAM>(&upper));
            ranges.emplace_back(lower, upper);
        }
        d.RequestClose();
        return true;
    }};
    Watchdog watchdog(30000);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(ranges, (std::vector<std::pair<int, int>>{{1, 999}, {0, 1500}, {1, 255}}));
}

TEST(PingDialogTest, ClosingDuringARunEndsItWithinOneEchoSendsNoResultsAndClosesAsUsual) {
    GhostHostProcess host({"--hidden", "--ghost", "Watcher"});
    ASSERT_TRUE(host.ready()) << host.error();

    // Every echo waits out its time-out; the run would take 999 of them.
    EchoScript script;
    script.echoMs = 1500;
    script.answered = false;
    PrivateSettingsFile settings;
    TestPingDialog dialog(settings.path(), script);
    int linesAtClose = 0;
    dialog.steps = {
        [&](TestPingDialog& d) {
            StartRun(d, L"999", L"64");
            return true;
        },
        // The first echo has its line and the second is on its way.
        [&](TestPingDialog& d) {
            if (d.ListCount() < 1 || script.echoesSent < 2) return false;
            linesAtClose = d.ListCount();
            d.RequestClose();
            return true;
        },
    };
    Watchdog watchdog(30000, [&] { host.Command("quit"); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    const DWORD closing = ::GetTickCount() - dialog.closeRequestedAt;

    // One echo's time-out plus a pause below 500 ms, with room for a busy machine.
    EXPECT_LT(closing, 5000u);
    EXPECT_GE(linesAtClose, 1);
    EXPECT_LE(script.echoesSent.load(), 3);

    ASSERT_TRUE(host.WaitForRequests(2, 10000));
    std::vector<LoggedRequest> requests = host.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].bytes.find("Event: OnApplicationBoot\r\n"), std::string::npos);
    EXPECT_NE(requests[1].bytes.find("Event: OnApplicationClose\r\n"), std::string::npos);

    EXPECT_EQ(ReadSetting(settings.path(), "PingNum"), "999");
    EXPECT_EQ(ReadSetting(settings.path(), "PingTTL"), "64");
    EXPECT_EQ(ReadSetting(settings.path(), "PingHost"), "127.0.0.1");
}

// Another process can post IDOK; the framework's OnOK then reads the fields
// back into the dialog's settings, here while a run goes on.
TEST(PingDialogTest, ARunKeepsTheSettingsOfItsPressWhateverTheFieldsAreReadBackAs) {
    EchoScript script;
    script.echoMs = 400;
    PrivateSettingsFile settings;
    TestPingDialog dialog(settings.path(), script);
    bool boxShown = false;
    std::wstring status;
    dialog.steps = {
        [&](TestPingDialog& d) {
            StartRun(d, L"2");
            return true;
        },
        [&](TestPingDialog& d) {
            if (script.echoesSent < 1) return false;
            // The count reads back, then the size fails: no end, but a box.
            d.SetField(kCountField, L"5");
            d.SetField(kSizeField, L"x");
            ::PostMessageW(d.GetSafeHwnd(), WM_COMMAND, IDOK, 0);
            return true;
        },
        [&](TestPingDialog&) {
            HWND box = TestPingDialog::ThreadWindowWith(kMessageBoxText);
            if (!box) return false;
            boxShown = true;
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&](TestPingDialog& d) {
            if (!RunEnded(d)) return false;
            status = d.ItemText(kStatusLine);
            d.SetField(kSizeField, L"18");
            d.RequestClose();
            return true;
        },
    };
    Watchdog watchdog(30000);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(script.echoesSent.load(), 2);
    EXPECT_EQ(status, L"OK=2");
    EXPECT_EQ(ReadSetting(settings.path(), "PingNum"), "5");
}

// The read-back at closing shows its message box, whose loop carries out what
// is posted to the dialog meanwhile: a press of the send button, of About.
TEST(PingDialogTest, OnceClosingHasBegunNothingStartsARunOrOpensABoxAndNoWorkerOutlivesIt) {
    EchoScript script;
    script.echoMs = 300;
    PrivateSettingsFile settings;
    TestPingDialog dialog(settings.path(), script);
    bool closingBoxShown = false;
    bool aboutOpened = false;
    dialog.steps = {
        [&](TestPingDialog& d) {
            StartRun(d, L"2");
            return true;
        },
        [&](TestPingDialog& d) {
            if (!RunEnded(d)) return false;
            d.SetField(kCountField, L"abc");
            d.RequestClose();
            return true;
        },
        [&](TestPingDialog& d) {
            HWND box = TestPingDialog::ThreadWindowWith(kMessageBoxText);
            if (!box) return false;
            closingBoxShown = true;
            d.SetField(kCountField, L"2");
            PostClick(d, kSendButton);
            PostClick(d, kAboutButton);
            ::PostMessageW(d.GetSafeHwnd(), WM_SYSCOMMAND, kAboutSysCommand, 0);
            return true;
        },
        // Posted messages come before the next tick.
        [&](TestPingDialog&) {
            if (HWND about = TestPingDialog::ThreadWindowWith(kMakerLink)) {
                aboutOpened = true;
                ::PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
                return false;
            }
            if (HWND box = TestPingDialog::ThreadWindowWith(kMessageBoxText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return true;
        },
    };
    Watchdog watchdog(30000);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    const int liveAtReturn = script.liveBindings.load();

    EXPECT_TRUE(closingBoxShown);
    EXPECT_EQ(dialog.bindingsMade, 1) << "a run started during closing";
    EXPECT_FALSE(aboutOpened) << "the About box opened during closing";
    // The application stops the sockets as soon as DoModal returns.
    EXPECT_EQ(liveAtReturn, 0) << "a worker outlived the dialog's window";
    EXPECT_EQ(ReadSetting(settings.path(), "PingNum"), "2");
}

}  // namespace
}  // namespace quillbin::win::testing
