// Copying the results as a user does it, read back from the clipboard in
// this process: Ctrl+C on the focused list (real keys through SendInput,
// with this thread attached to the program's input) and the list's context
// menu (WM_CONTEXTMENU posted to the list, then the entry's mnemonic typed
// into the open menu). Built into e2e_locale_test, so it runs under code
// page 932 and under 1252.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/clipboard.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/support/waiting.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"

namespace quillbin::win::e2e {
namespace {

constexpr wchar_t kSentinel[] = L"clipboard before the test";

std::optional<std::wstring> ClipboardText() {
    if (!WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 2000)) return std::nullopt;
    std::optional<std::wstring> text;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (auto* chars = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr) {
        text = chars;
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

// From a window that is gone when this returns: a live owner would be sent
// WM_DESTROYCLIPBOARD by the program's copy, which would wait for this
// thread to handle it.
bool PutOnClipboard(const wchar_t* text) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool put = owner && SetClipboardText(owner, text);
    if (owner) ::DestroyWindow(owner);
    return put;
}

// Watched by its sequence number: polling that never opens the clipboard
// cannot keep the program from opening it.
bool ClipboardChangesFrom(DWORD sequence) {
    return WaitUntil([&] { return ::GetClipboardSequenceNumber() != sequence; }, 5000);
}
bool ClipboardStays(DWORD sequence) {
    return HoldsFor([&] { return ::GetClipboardSequenceNumber() == sequence; }, 1000) &&
           ClipboardText() == std::wstring(kSentinel);
}

// The program's dialog in front with its list focused, for keys that this
// thread (attached to the program's input) sends with SendInput.
bool FocusListInFront(HWND dialog, HWND list) {
    ::SetForegroundWindow(dialog);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE, SMTO_NORMAL, kSendTimeoutMs,
                          &ignored);
    return WaitUntil([&] { return ::GetForegroundWindow() == dialog && FocusOf(dialog) == list; }, 5000);
}

// Presses the keys in order and lets them go in reverse, as fingers do.
void TypeKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys) add(key, 0);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) add(*it, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool MenuOpen(DWORD processId) {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == processId && ::IsWindowVisible(w)) return true;
    }
    return false;
}

// Opens the list's context menu as a right-click would and types the entry's
// mnemonic; true once the menu has opened and closed again.
bool ChooseCopyFromMenu(const QuillbinProcess& program, HWND list) {
    RECT area{};
    ::GetWindowRect(list, &area);
    ::PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(area.left + 20, area.top + 20));
    if (!WaitUntil([&] { return MenuOpen(program.ProcessId()); }, 5000)) return false;
    TypeKeys({'C'});
    return WaitUntil([&] { return !MenuOpen(program.ProcessId()); }, 5000);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (size_t at = 0, end = 0; end != std::wstring::npos; at = end + 2) {
        end = text.find(L"\r\n", at);
        lines.push_back(text.substr(at, end == std::wstring::npos ? end : end - at));
    }
    return lines;
}

TEST(CopyResults, KeyboardAndMenuCopyTheListAndStatusDuringAndAfterARunButNotAnEmptyList) {
    QuillbinProcess program;
    ASSERT_TRUE(program.Start()) << program.error();
    DialogDriver dialog(program.Dialog());
    HWND window = dialog.Dialog();
    HWND list = dialog.Item(kResultList);
    DWORD self = ::GetCurrentThreadId(), target = ::GetWindowThreadProcessId(window, nullptr);
    ASSERT_TRUE(::AttachThreadInput(self, target, TRUE));
    ASSERT_TRUE(PutOnClipboard(kSentinel));
    DWORD sequence = ::GetClipboardSequenceNumber();

    ASSERT_TRUE(FocusListInFront(window, list)) << dialog.Describe();
    TypeKeys({VK_CONTROL, 'C'});
    EXPECT_TRUE(ClipboardStays(sequence)) << "Ctrl+C on an empty list copies nothing";
    ASSERT_TRUE(ChooseCopyFromMenu(program, list));
    EXPECT_TRUE(ClipboardStays(sequence)) << "nor does the menu, whose entry is greyed";

    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"3", L"18", L"255"}));
    dialog.PressSend();
    ASSERT_TRUE(WaitUntil([&] { return dialog.Status() == L"OK=3"; }, 30000) && dialog.WaitIdle(30000))
        << dialog.Describe();
    ASSERT_TRUE(FocusListInFront(window, list)) << dialog.Describe();
    TypeKeys({VK_CONTROL, 'C'});
    ASSERT_TRUE(ClipboardChangesFrom(sequence));
    std::vector<std::wstring> shown = dialog.Lines();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(MaskListTime(shown[0]), LoopbackOkLine());
    shown.push_back(L"OK=3");
    // Unicode: the Japanese comes through whatever the code page.
    EXPECT_EQ(Lines(ClipboardText().value_or(L"")), shown);

    // A long run (loopback echoes with growing pauses): what it showed so far.
    sequence = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(dialog.Fill({L"127.0.0.1", L"999", L"18", L"255"}));
    dialog.PressSend();
    // "Working..." once the run has cleared the last run's lines.
    ASSERT_TRUE(WaitUntil([&] { return dialog.Status() == L"Working..." && dialog.Lines().size() >= 3; }, 30000))
        << dialog.Describe();
    ASSERT_TRUE(FocusListInFront(window, list)) << dialog.Describe();
    ASSERT_TRUE(ChooseCopyFromMenu(program, list));
    ASSERT_TRUE(ClipboardChangesFrom(sequence));
    EXPECT_FALSE(dialog.SendEnabled()) << "the run should still be under way";
    std::vector<std::wstring> copied = Lines(ClipboardText().value_or(L""));
    ASSERT_GE(copied.size(), 4u) << "three lines or more, and the status";
    EXPECT_EQ(copied.back(), L"Working...");
    for (size_t i = 0; i + 1 < copied.size(); ++i) EXPECT_EQ(MaskListTime(copied[i]), LoopbackOkLine()) << i;

    ::AttachThreadInput(self, target, FALSE);
    ASSERT_TRUE(PressKey(window, VK_ESCAPE));
    EXPECT_TRUE(program.WaitForExit(15000));
}

}  // namespace
}  // namespace quillbin::win::e2e
