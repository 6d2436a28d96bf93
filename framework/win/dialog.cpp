#include "framework/win/dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "framework/centring.h"
#include "framework/win/win_app.h"

namespace quillbin::win {

namespace {

// The dialog manager takes these results as the dialog procedure's return
// value; every other message's result goes into DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM || message == WM_QUERYDRAGICON ||
           message == WM_INITDIALOG;
}

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

HWND TopLevelOf(HWND window) { return window ? ::GetAncestor(window, GA_ROOT) : nullptr; }

}  // namespace

const MessageEntry CDialog::kEntries[] = {
    msg::InitDialog<&CDialog::HandleInitDialog>(),
    msg::Command<&CDialog::OnOK>(IDOK),
    msg::Command<&CDialog::OnCancel>(IDCANCEL),
};
const MessageMap CDialog::kMessageMap{nullptr, kEntries};

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // Only a window that outlived its loop is still here; it must not keep
    // calling into a dead object.
    if (m_hWnd) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
}

HWND CDialog::FindOwner() const {
    if (m_pParentWnd && m_pParentWnd->GetSafeHwnd()) return TopLevelOf(m_pParentWnd->GetSafeHwnd());
    if (CWinApp* app = CWinApp::Current(); app && app->m_pMainWnd && app->m_pMainWnd != this) {
        if (HWND main = app->m_pMainWnd->GetSafeHwnd()) return main;
    }
    return TopLevelOf(::GetActiveWindow());
}

INT_PTR CDialog::DoModal() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&classes);

    HWND owner = FindOwner();
    bool ownerDisabled = owner && ::IsWindowEnabled(owner);
    if (ownerDisabled) ::EnableWindow(owner, FALSE);

    m_ended = false;
    m_modalResult = -1;
    HWND window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) {
        if (ownerDisabled) ::EnableWindow(owner, TRUE);
        return -1;
    }
    if (m_hWnd && !m_ended && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    m_inModalLoop = true;
    while (m_hWnd && !m_ended) {
        MSG message;
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The thread is quitting: end here and let the outer loop see it too.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            m_modalResult = IDCANCEL;
            break;
        }
        if (got == -1) break;
        if (PreTranslateMessage(&message)) continue;
        if (!m_hWnd || !::IsDialogMessageW(m_hWnd, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    m_inModalLoop = false;

    // The owner comes back before the dialog goes, or the system would hand
    // the activation to some other application's window.
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    bool wasActive = m_hWnd && ::GetActiveWindow() == m_hWnd;
    if (m_hWnd) DestroyWindow();
    if (owner && wasActive) ::SetActiveWindow(owner);
    return m_modalResult;
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_ended = true;
    // Wakes the loop if the call came from outside a message it dispatched.
    if (m_inModalLoop && m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    // An ended dialog is closing: it reads its fields back once, in its own
    // closing steps, and shows no message for an OK that comes after.
    if (!m_inModalLoop || m_ended) return;
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG*) { return FALSE; }

void CDialog::DoDataExchange(bool) {}

BOOL CDialog::HandleInitDialog() {
    CentreWindow();
    return OnInitDialog();
}

void CDialog::CentreWindow() {
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT around = monitor.rcWork;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
    ScreenPoint at = CentredPosition(ToScreenRect(window), ToScreenRect(around), ToScreenRect(monitor.rcWork));
    ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::OnFinalDestroy() {
    // Control objects hold handles of windows that are gone now; a later
    // DoModal binds them afresh.
    for (CWnd* control : m_boundControls) control->Detach();
    m_boundControls.clear();
    if (CWinApp* app = CWinApp::Current(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    m_hWnd = nullptr;
}

LRESULT CDialog::DefaultProcessing(const MessageContext& message) {
    m_skipNextMessage = true;
    LRESULT result = ::DefDlgProcW(m_hWnd, message.message, message.wParam, message.lParam);
    m_skipNextMessage = false;
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        // The object travels as the creation parameter and stays with the window.
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;
    return self->HandleMessage(window, MessageContext{message, wParam, lParam});
}

INT_PTR CDialog::HandleMessage(HWND window, const MessageContext& message) {
    if (std::exchange(m_skipNextMessage, false)) return FALSE;
    LRESULT result = 0;
    bool handled = Dispatch(message, result);
    if (message.message == WM_NCDESTROY) {
        OnFinalDestroy();
        return FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message.message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace quillbin::win
