#include "tests/framework/win/message_box_watcher.h"

#include <chrono>

namespace quillbin::win::testing {

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

struct Search {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (ClassOf(window) == L"#32770" && ::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<SeenMessageBox*>(param);
    std::wstring kind = ClassOf(child);
    if (kind == L"Button" && ::IsWindowVisible(child)) {
        box->buttonIds.push_back(::GetDlgCtrlID(child));
    } else if (kind == L"Static") {
        LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
            box->exclamationIcon = icon && icon == ::LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_EXCLAMATION
        } else if (std::wstring text = TextOf(child); !text.empty()) {
            box->text = text;
        }
    }
    return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(HWND owner)
    : m_owner(owner), m_thread(::GetCurrentThreadId()), m_watcher([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() { Stop(); }

std::vector<SeenMessageBox> MessageBoxWatcher::Stop() {
    m_stop = true;
    if (m_watcher.joinable()) m_watcher.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

void MessageBoxWatcher::Watch() {
    HWND last = nullptr;
    while (!m_stop) {
        Search search{m_owner};
        ::EnumThreadWindows(m_thread, &FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found && search.found != last) {
            SeenMessageBox box;
            box.caption = TextOf(search.found);
            ::EnumChildWindows(search.found, &ReadChild, reinterpret_cast<LPARAM>(&box));
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_seen.push_back(box);
            }
            last = search.found;
            ::PostMessageW(search.found, WM_COMMAND, IDOK, 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace quillbin::win::testing
