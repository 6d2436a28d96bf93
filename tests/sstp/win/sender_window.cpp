#include "tests/sstp/win/sender_window.h"

#include "sstp/win/sakura_message.h"

namespace quillbin::win {

namespace {
constexpr wchar_t kClassName[] = L"QuillbinSstpTestSender";
}

SenderWindow::SenderWindow(GhostNotifier& notifier) : m_notifier(notifier) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    // Top-level, so that the host's broadcasts reach it as they reach the dialog.
    m_window = ::CreateWindowExW(0, kClassName, L"sstp test sender", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                 nullptr, windowClass.hInstance, this);
}

SenderWindow::~SenderWindow() {
    if (m_window) ::DestroyWindow(m_window);
}

LRESULT CALLBACK SenderWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SenderWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == g_sakuraMessage && message != 0) {
        if (wParam == kSakuraRefresh) {
            int result = self->m_notifier.RefreshGhostList();
            self->m_refreshes.push_back({result, ::GetTickCount()});
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quillbin::win
