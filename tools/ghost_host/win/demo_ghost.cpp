#include "tools/ghost_host/win/demo_ghost.h"

#include "base/scope_exit.h"
#include "framework/win/wide_text.h"
#include "tools/ghost_host/host_directory_writer.h"
#include "tools/ghost_host/host_protocol.h"
#include "tools/ghost_host/request_view.h"
#include "tools/ghost_host/win/host_directory_block.h"
#include "tools/ghost_host/win/request_feed.h"
#include "tools/ghost_host/win/request_log_file.h"

namespace quillbin::win {

namespace {

constexpr UINT kVanishMessage = WM_APP + 1;
constexpr DWORD kStartTimeoutMs = 5000;
// Below the 5 s a sender waits for us: the ghost still gets to answer.
constexpr UINT kReentrantSendTimeoutMs = 4000;

}  // namespace

bool DemoGhost::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = kDemoGhostWindowClass;
    return ::RegisterClassExW(&cls) != 0;
}

DemoGhost::DemoGhost(GhostSetup setup, GhostServices& services)
    : m_setup(std::move(setup)),
      m_services(services),
      m_ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DemoGhost::~DemoGhost() {
    RequestStop();
    if (m_thread.joinable()) m_thread.join();
}

bool DemoGhost::Start(HINSTANCE instance) {
    if (!m_ready || !m_stop) return false;
    m_thread = std::thread([this, instance] { ThreadMain(instance); });
    // No time limit of our own: the thread signals once CreateWindowExW has
    // returned, either way. A fixed limit failed the host as if the window
    // could not be made (exit 7) whenever the thread was merely slow, as the
    // first window of a process under Wine can be while it starts its desktop.
    ::WaitForSingleObject(m_ready.get(), INFINITE);
    return m_window != nullptr;
}

void DemoGhost::Vanish() {
    if (m_vanished || !m_window) return;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(m_window, kVanishMessage, 0, 0, SMTO_NORMAL, kStartTimeoutMs, &ignored);
}

void DemoGhost::RequestStop() {
    if (m_stop) ::SetEvent(m_stop.get());
    if (m_threadId) ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
}

void DemoGhost::ThreadMain(HINSTANCE instance) {
    ScopeExit finished([this] { m_finished = true; });
    // The queue exists before the id is known, so a WM_QUIT that RequestStop
    // posts from now on cannot fail for want of one and be lost.
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    m_threadId = ::GetCurrentThreadId();
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kDemoGhostWindowClass, WideFromUtf8(m_setup.name).c_str(),
                                    WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    ScopeExit destroy([window] {
        if (::IsWindow(window)) ::DestroyWindow(window);
    });
    m_window = window;
    ::SetEvent(m_ready.get());
    if (!window) return;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK DemoGhost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DemoGhost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self) {
        switch (message) {
        case WM_COPYDATA:
            return self->OnCopyData(window, wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case kVanishMessage:
            self->m_vanished = true;
            ::DestroyWindow(window);
            return 0;
        case WM_CLOSE:
            // Only the host ends a ghost.
            return 0;
        default:
            break;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DemoGhost::OnCopyData(HWND window, WPARAM sender, const COPYDATASTRUCT* data) {
    DWORD tick = ::GetTickCount();
    // A peer may send anything: no record, no data, any size, any dwData.
    std::string_view bytes;
    if (data && data->lpData && data->cbData > 0) {
        bytes = std::string_view(static_cast<const char*>(data->lpData), data->cbData);
    }
    LoggedRequest logged;
    logged.ghost = m_setup.name;
    logged.index = m_index;
    logged.hwnd = reinterpret_cast<uintptr_t>(window);
    logged.dwData = data ? data->dwData : 0;
    logged.sender = sender;
    logged.tick = tick;
    logged.bytes = std::string(bytes);
    logged.cbData = static_cast<uint32_t>(bytes.size());
    m_services.log.Append(logged);

    ShownRequest shown;
    shown.ghost = m_setup.name;
    shown.index = logged.index;
    shown.hwnd = logged.hwnd;
    shown.dwData = logged.dwData;
    shown.cbData = data ? data->cbData : 0;
    shown.sender = sender;
    shown.tick = tick;
    shown.hasData = data && data->lpData;
    shown.head = std::string(bytes.substr(0, kShownRequestBytes));
    m_services.feed.Push(std::move(shown));
    return Answer(sender);
}

LRESULT DemoGhost::Answer(WPARAM sender) {
    switch (m_setup.answer) {
    case GhostAnswer::Ok:
    case GhostAnswer::Gone:
        return 1;
    case GhostAnswer::Zero:
        return 0;
    case GhostAnswer::Delay:
    case GhostAnswer::Broadcast:
        // Cut short when the host removes the ghost or quits.
        return ::WaitForSingleObject(m_stop.get(), m_setup.delayMs) == WAIT_TIMEOUT ? 1 : 0;
    case GhostAnswer::Reentrant: {
        m_services.block.Publish(BuildHostDirectory({}, {}, kHostDirectoryBlockSize).bytes);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(reinterpret_cast<HWND>(sender), m_services.sakuraMessage, kSakuraRefresh, 0, SMTO_NORMAL,
                              kReentrantSendTimeoutMs, &ignored);
        return 1;
    }
    }
    return 0;
}

}  // namespace quillbin::win
