#include "tests/e2e/window_access.h"

#include <cstdint>

namespace quillbin::win::e2e {

namespace {

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* answered = nullptr) {
    DWORD_PTR result = 0;
    LRESULT ok = ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    if (answered) *answered = ok != 0;
    return static_cast<LRESULT>(result);
}

}  // namespace

std::wstring WindowText(HWND window) {
    bool answered = false;
    LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &answered);
    if (!answered || length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

bool SetWindowTextRemote(HWND window, std::wstring_view text) {
    std::wstring copy(text);
    bool answered = false;
    LRESULT ok = SendWithTimeout(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()), &answered);
    return answered && ok;
}

std::wstring ClassName(HWND window) {
    wchar_t name[128] = {};
    int n = ::GetClassNameW(window, name, 128);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

int ListBoxCount(HWND listBox) {
    bool answered = false;
    LRESULT count = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0, &answered);
    return answered ? static_cast<int>(count) : -1;
}

std::vector<std::wstring> ListBoxLines(HWND listBox) {
    std::vector<std::wstring> lines;
    int count = ListBoxCount(listBox);
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendWithTimeout(listBox, LB_GETTEXTLEN, i, 0);
        if (length < 0) break;
        std::wstring line(static_cast<size_t>(length) + 1, L'\0');
        LRESULT got = SendWithTimeout(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(got > 0 ? static_cast<size_t>(got) : 0);
        lines.push_back(std::move(line));
    }
    return lines;
}

int CheckState(HWND button) {
    bool answered = false;
    LRESULT state = SendWithTimeout(button, BM_GETCHECK, 0, 0, &answered);
    return answered ? static_cast<int>(state) : -1;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!thread || !::GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

std::pair<DWORD, DWORD> EditSelection(HWND edit) {
    auto packed = static_cast<DWORD>(SendWithTimeout(edit, EM_GETSEL, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}

void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void PostCommand(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

namespace {

void PostKeyMessages(HWND target, UINT down, UINT up, UINT virtualKey) {
    UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(target, down, virtualKey, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageW(target, up, virtualKey, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

}  // namespace

void PostKey(HWND target, UINT virtualKey) { PostKeyMessages(target, WM_KEYDOWN, WM_KEYUP, virtualKey); }

bool PressKey(HWND dialog, UINT virtualKey) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = ::GetWindowThreadProcessId(dialog, nullptr);
    if (!thread || !::GetGUIThreadInfo(thread, &info)) return false;
    if (info.hwndFocus) {
        PostKey(info.hwndFocus, virtualKey);
    } else if (info.hwndActive) {
        PostKeyMessages(info.hwndActive, WM_SYSKEYDOWN, WM_SYSKEYUP, virtualKey);
    } else {
        return false;
    }
    return true;
}

void PostLeftClick(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    LPARAM at = MAKELPARAM((client.right - client.left) / 2, (client.bottom - client.top) / 2);
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(window, WM_LBUTTONUP, 0, at);
}

std::optional<double> ProbeMs(HWND window, UINT timeoutMs) {
    LARGE_INTEGER frequency{}, before{}, after{};
    ::QueryPerformanceFrequency(&frequency);
    DWORD_PTR ignored = 0;
    ::QueryPerformanceCounter(&before);
    if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored)) return std::nullopt;
    ::QueryPerformanceCounter(&after);
    return 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string HandleDecimal(HWND window) {
    return std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
}

}  // namespace quillbin::win::e2e
