// The About box as the user reaches it: the system menu's entry, the system
// commands that open it, its links handed to the shell, and what repeated
// openings leave behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/win/wide_text.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/gdi_objects.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/owned_boxes.h"
#include "tests/e2e/program_with_ghost_host.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/system_menu_reader.h"
#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace quillbin::win::e2e {
namespace {

constexpr DWORD kBoxTimeoutMs = 5000;

// Closes the box and waits until the main dialog takes input again.
void CloseAbout(HWND dialog, HWND about) {
    ASSERT_TRUE(DismissBox(about));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }, kBoxTimeoutMs));
}

TEST(AboutBox, TheSystemMenuEndsWithASeparatorAndTheAboutEntry) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    const QuillbinProcess& program = e2e.program;

    std::string error;
    std::optional<std::vector<SystemMenuItem>> menu = ReadSystemMenu(program.Process(), program.Folder(), error);
    ASSERT_TRUE(menu.has_value()) << error;
    ASSERT_GE(menu->size(), 3u);
    EXPECT_EQ(menu->back(), (SystemMenuItem{false, 16, kAboutMenuText}));
    EXPECT_TRUE((*menu)[menu->size() - 2].separator);
    // The system's own entries come first, Close among them.
    EXPECT_NE(std::find_if(menu->begin(), menu->end(), [](const SystemMenuItem& item) { return item.id == SC_CLOSE; }),
              menu->end());
}

TEST(AboutBox, SystemCommands16To31AndTheAboutButtonOpenItAndOtherCommandsDoNot) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    const QuillbinProcess& program = e2e.program;
    HWND dialog = program.Dialog();

    auto openWith = [&](auto post, const std::string& what) {
        SCOPED_TRACE(what);
        post();
        HWND about = WaitForAboutBox(dialog, kBoxTimeoutMs);
        ASSERT_NE(about, nullptr) << "no About box";
        // Modal over the main dialog: that takes no input meanwhile.
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        EXPECT_EQ(CountAboutBoxes(dialog), 1);
        ASSERT_NO_FATAL_FAILURE(CloseAbout(dialog, about));
    };
    for (UINT command = 16; command <= 31; ++command) {
        openWith([&] { ::PostMessageW(dialog, WM_SYSCOMMAND, command, 0); }, "command " + std::to_string(command));
    }
    openWith([&] { PostCommand(dialog, kAboutButton); }, "About button");

    // Neighbours of the range (and a restore, which the dialog ignores) are
    // posted ahead of command 16: had one of them opened the box, a second
    // box would open inside its loop when command 16 arrives.
    for (UINT command : {15u, 32u, 47u, 0x1010u, static_cast<UINT>(SC_RESTORE)}) {
        ::PostMessageW(dialog, WM_SYSCOMMAND, command, 0);
    }
    ::PostMessageW(dialog, WM_SYSCOMMAND, 16, 0);
    HWND about = WaitForAboutBox(dialog, kBoxTimeoutMs);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(HoldsFor([&] { return CountAboutBoxes(dialog) == 1; }, 500));
    ASSERT_NO_FATAL_FAILURE(CloseAbout(dialog, about));
    EXPECT_TRUE(HoldsFor([&] { return FindAboutBox(dialog) == nullptr; }, 300));

    // A standard command still does its usual work.
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}

// The browser of the tests' Wine prefix is a script that appends the address
// it is given to e2e-browser.log beside the test programs (set up by
// cmake/wine-run.sh.in); no real browser and no network are ever reached.
std::wstring BrowserLogPath() { return ProgramDirectory() + L"e2e-browser.log"; }

bool BrowserIsTheLoggingScript(std::string& configured) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", L"Browsers", RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS) {
        return false;
    }
    configured = Utf8FromWide(value);
    return configured.find("e2e-browser.sh") != std::string::npos && configured.find(',') == std::string::npos;
}

TEST(AboutBox, AClickOnALinkHandsExactlyItsTextToTheShellAndTheBoxStaysOpen) {
    std::string configured;
    ASSERT_TRUE(BrowserIsTheLoggingScript(configured))
        << "the prefix's browser is not the logging script (" << configured << "): no link is clicked";
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    const QuillbinProcess& program = e2e.program;
    HWND dialog = program.Dialog();
    PostCommand(dialog, kAboutButton);
    HWND about = WaitForAboutBox(dialog, kBoxTimeoutMs);
    ASSERT_NE(about, nullptr);

    std::wstring log = BrowserLogPath();
    ::DeleteFileW(log.c_str());
    std::string expected;
    for (int link : {kMakerLink, kIconAuthorLink}) {
        HWND label = ::GetDlgItem(about, link);
        ASSERT_NE(label, nullptr);
        std::wstring address = WindowText(label);
        ASSERT_FALSE(address.empty());
        SCOPED_TRACE(Utf8FromWide(address));
        PostLeftClick(label);
        expected += Utf8FromWide(address) + "\n";
        std::optional<std::string> opened;
        EXPECT_TRUE(WaitUntil([&] { return (opened = ReadWholeFile(log)) && *opened == expected; }, 15000))
            << "the browser was given: " << opened.value_or("nothing");
        EXPECT_TRUE(::IsWindow(about) && ::IsWindowVisible(about)) << "the About box closed";
        EXPECT_EQ(FindAboutBox(dialog), about);
    }
    ASSERT_NO_FATAL_FAILURE(CloseAbout(dialog, about));
    ::DeleteFileW(log.c_str());
}

TEST(AboutBox, OpeningItAHundredTimesLeavesNoGdiObjectsBehind) {
    ProgramWithGhostHost e2e;
    ASSERT_TRUE(e2e.Start()) << e2e.error();
    const QuillbinProcess& program = e2e.program;
    HWND dialog = program.Dialog();

    auto cycle = [&] {
        PostCommand(dialog, kAboutButton);
        HWND about = WaitForAboutBox(dialog, kBoxTimeoutMs);
        ASSERT_NE(about, nullptr);
        ASSERT_NO_FATAL_FAILURE(CloseAbout(dialog, about));
    };
    // The first openings fill caches that stay for the process's life (under
    // Wine: device contexts, regions and surfaces of its window cache). The
    // cache stops at a ceiling (seen: 251 objects in all, 58 of them device
    // contexts) that a loaded machine takes up to about 50 openings to reach:
    // counted from the 10th opening, its filling looked like a leak of 30.
    for (int i = 0; i < 50; ++i) ASSERT_NO_FATAL_FAILURE(cycle());
    std::optional<GdiObjectCount> before = CountGdiObjects(program.Process());
    ASSERT_TRUE(before.has_value()) << "cannot count the process's GDI objects";
    for (int i = 0; i < 100; ++i) ASSERT_NO_FATAL_FAILURE(cycle()) << "opening " << i;
    std::optional<GdiObjectCount> after = CountGdiObjects(program.Process());
    ASSERT_TRUE(after.has_value());

    for (auto [type, n] : after->byType) {
        int was = before->byType.count(type) ? before->byType.at(type) : 0;
        if (n != was) std::printf("GDI objects of type 0x%02X: %d before, %d after\n", type, was, n);
    }
    RecordProperty("gdi_method", before->method);
    RecordProperty("gdi_before", before->total);
    RecordProperty("gdi_after", after->total);
    EXPECT_EQ(after->fonts, before->fonts) << "fonts left behind (" << before->method << ")";
    // One object per opening would be 100 more. Wine's window cache still
    // grows by a few device contexts, regions and surfaces now and then
    // (seen: 4 of each over 100 openings), which is not ours to free.
    EXPECT_LE(after->total, before->total + 25) << "objects left behind (" << before->method << ")";
}

}  // namespace
}  // namespace quillbin::win::e2e
