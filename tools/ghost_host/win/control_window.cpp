#include "tools/ghost_host/win/control_window.h"

#include <algorithm>

#include "framework/win/wide_text.h"
#include "sstp/sstp_request.h"
#include "tools/ghost_host/host_protocol.h"
#include "tools/ghost_host/request_view.h"

namespace quillbin::win {

namespace {

constexpr UINT_PTR kReapTimer = 1;
constexpr UINT kReapPeriodMs = 1000;
// A host left running for days must not fill memory with old requests.
constexpr LRESULT kMaxRequestLines = 20000;
constexpr LRESULT kTrimRequestLines = 2000;

constexpr wchar_t kHeaderText[] =
    L"Quillbin demo ghost host. It publishes the ghosts below in the shared block \"Sakura\" and shows every "
    L"request they receive, newest at the bottom.";

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, HFONT font) {
    HWND child = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, nullptr,
                                   reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

}  // namespace

bool ControlWindow::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.hIcon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kGhostHostWindowClass;
    return ::RegisterClassExW(&cls) != 0;
}

bool ControlWindow::Create(HINSTANCE instance, Owner& owner) {
    m_owner = &owner;
    // m_window is set as early as WM_NCCREATE: only the call's result says
    // whether the window outlived its creation.
    HWND window = ::CreateWindowExW(0, kGhostHostWindowClass, L"Quillbin demo ghost host", WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 760, 560, nullptr, nullptr, instance, this);
    if (!window) m_window = nullptr;
    return window != nullptr;
}

LRESULT CALLBACK ControlWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT ControlWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COPYDATA: {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || data->dwData != kGhostHostCommandId) return FALSE;
        std::string_view text;
        if (data->lpData) text = std::string_view(static_cast<const char*>(data->lpData), data->cbData);
        return m_owner->OnCommand(text) ? TRUE : FALSE;
    }
    case kRequestsArrived:
        m_owner->OnRequestsArrived();
        return 0;
    case WM_TIMER:
        if (wParam == kReapTimer) m_owner->OnTimer();
        return 0;
    case WM_DESTROY:
        ::KillTimer(m_window, kReapTimer);
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void ControlWindow::OnCreate() {
    // "MS UI Gothic" shows the ghosts' Japanese names and requests; Wine maps
    // it to a Japanese font of its own.
    HDC screen = ::GetDC(nullptr);
    int height = -::MulDiv(10, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    m_font.reset(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS UI Gothic"));
    HFONT font = m_font.get();
    constexpr DWORD kList = WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL;
    m_header = MakeChild(m_window, L"STATIC", kHeaderText, SS_LEFT, font);
    m_ghostsLabel = MakeChild(m_window, L"STATIC", L"Ghosts (id, name, window, answer):", SS_LEFT, font);
    m_ghosts = MakeChild(m_window, L"LISTBOX", L"", kList, font);
    m_requestsLabel =
        MakeChild(m_window, L"STATIC", L"Requests received (and commands), newest at the bottom:", SS_LEFT, font);
    m_requests = MakeChild(m_window, L"LISTBOX", L"", kList, font);
    ::SetTimer(m_window, kReapTimer, kReapPeriodMs, nullptr);
}

void ControlWindow::OnSize(int width, int height) {
    constexpr int kMargin = 8;
    constexpr int kLabel = 20;
    constexpr int kHeader = 40;
    int inner = width - 2 * kMargin;
    int y = kMargin;
    ::MoveWindow(m_header, kMargin, y, inner, kHeader, TRUE);
    y += kHeader;
    ::MoveWindow(m_ghostsLabel, kMargin, y, inner, kLabel, TRUE);
    y += kLabel;
    int ghostsHeight = (height - y) / 4;
    ::MoveWindow(m_ghosts, kMargin, y, inner, ghostsHeight, TRUE);
    y += ghostsHeight + kMargin;
    ::MoveWindow(m_requestsLabel, kMargin, y, inner, kLabel, TRUE);
    y += kLabel;
    ::MoveWindow(m_requests, kMargin, y, inner, height - y - kMargin > 0 ? height - y - kMargin : 0, TRUE);
}

int ControlWindow::TextWidth(HWND control, const std::wstring& text) const {
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, m_font.get());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cx + 8;
}

void ControlWindow::ShowGhosts(const std::vector<std::wstring>& lines) {
    ::SendMessageW(m_ghosts, LB_RESETCONTENT, 0, 0);
    m_ghostsExtent = 0;
    for (const std::wstring& line : lines) {
        ::SendMessageW(m_ghosts, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        m_ghostsExtent = std::max(m_ghostsExtent, TextWidth(m_ghosts, line));
    }
    ::SendMessageW(m_ghosts, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(m_ghostsExtent), 0);
}

void ControlWindow::AddLines(const std::vector<std::wstring>& lines) {
    ::SendMessageW(m_requests, WM_SETREDRAW, FALSE, 0);
    if (::SendMessageW(m_requests, LB_GETCOUNT, 0, 0) > kMaxRequestLines) {
        for (LRESULT i = 0; i < kTrimRequestLines; ++i) ::SendMessageW(m_requests, LB_DELETESTRING, 0, 0);
    }
    LRESULT last = 0;
    for (const std::wstring& line : lines) {
        last = ::SendMessageW(m_requests, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        int width = TextWidth(m_requests, line);
        if (width > m_requestsExtent) {
            m_requestsExtent = width;
            ::SendMessageW(m_requests, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
        }
    }
    ::SendMessageW(m_requests, LB_SETTOPINDEX, static_cast<WPARAM>(last > 0 ? last : 0), 0);
    ::SendMessageW(m_requests, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_requests, nullptr, TRUE);
}

void ControlWindow::AddRequest(const ShownRequest& request) {
    ++m_received;
    std::wstring title = L"#" + std::to_wstring(m_received) + L"  to \"" + WideFromUtf8(request.ghost) + L"\" (ghost " +
                         std::to_wstring(request.index) + L", window " + std::to_wstring(request.hwnd) + L")  dwData=" +
                         std::to_wstring(request.dwData) + L" cbData=" + std::to_wstring(request.cbData) + L" sender=" +
                         std::to_wstring(request.sender) + L" tick=" + std::to_wstring(request.tick);
    if (request.dwData != kSstpCopyDataId) title += L"  [not an SSTP request]";
    if (!request.hasData) title += L"  [no data]";
    std::vector<std::wstring> lines{title};
    for (const std::string& line : RequestDisplayLines(request.head, request.hasData ? request.cbData : 0)) {
        lines.push_back(L"    " + WideFromCp932(line));
    }
    AddLines(lines);
}

void ControlWindow::AddNote(const std::wstring& text) { AddLines({L"-- " + text}); }

}  // namespace quillbin::win
