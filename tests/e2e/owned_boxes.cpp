#include "tests/e2e/owned_boxes.h"

#include <string_view>

#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace quillbin::win::e2e {

namespace {

enum class Kind { MessageBox, AboutBox };

struct Search {
    HWND owner;
    Kind kind;
    HWND found = nullptr;
    int count = 0;
};

bool IsAboutBox(HWND window) { return ::GetDlgItem(window, kMakerLink) != nullptr; }

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (::GetWindow(window, GW_OWNER) != search->owner || !::IsWindowVisible(window) ||
        ClassName(window) != L"#32770") {
        return TRUE;
    }
    if (IsAboutBox(window) == (search->kind == Kind::AboutBox)) {
        if (!search->found) search->found = window;
        ++search->count;
    }
    return TRUE;
}

Search Find(HWND owner, Kind kind) {
    Search search{owner, kind};
    ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search;
}

// The message text: the box's static control that holds text (the other one
// holds the icon).
BOOL CALLBACK ReadText(HWND child, LPARAM param) {
    auto* seen = reinterpret_cast<MessageBoxSeen*>(param);
    if (ClassName(child) == L"Static") {
        std::wstring text = WindowText(child);
        if (!text.empty()) {
            seen->text = std::move(text);
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

HWND FindMessageBox(HWND owner) { return Find(owner, Kind::MessageBox).found; }
HWND FindAboutBox(HWND owner) { return Find(owner, Kind::AboutBox).found; }
int CountAboutBoxes(HWND owner) { return Find(owner, Kind::AboutBox).count; }

std::optional<MessageBoxSeen> WaitForMessageBox(HWND owner, DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox(owner)) != nullptr; }, timeoutMs)) return std::nullopt;
    MessageBoxSeen seen;
    seen.window = box;
    seen.caption = WindowText(box);
    // The text control may be filled just after the box shows.
    WaitUntil(
        [&] {
            ::EnumChildWindows(box, ReadText, reinterpret_cast<LPARAM>(&seen));
            return !seen.text.empty();
        },
        2000);
    return seen;
}

HWND WaitForAboutBox(HWND owner, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindAboutBox(owner)) != nullptr; }, timeoutMs);
    return box;
}

bool DismissBox(HWND box, DWORD timeoutMs) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    return WaitUntil([box] { return !::IsWindow(box); }, timeoutMs);
}

}  // namespace quillbin::win::e2e
