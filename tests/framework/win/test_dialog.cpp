#include "tests/framework/win/test_dialog.h"

namespace quillbin::win::testing {

UINT CTestDialog::s_testMessage = 0;

const MessageMap* CTestDialog::GetMessageMap() const {
    static constexpr MessageEntry entries[] = {
        msg::Registered<&CTestDialog::OnTestMessage>(s_testMessage),
        msg::Command<&CTestDialog::OnSend>(kSendButton, BN_CLICKED),
        msg::Timer<&CTestDialog::OnTimer>(),
        msg::SysCommand<&CTestDialog::OnSysCommand>(),
        msg::Message<&CTestDialog::OnAction>(WM_APP),
        msg::CtlColor<&CTestDialog::OnCtlColor>(),
        msg::SetCursor<&CTestDialog::OnSetCursor>(),
    };
    static constexpr MessageMap map{&CDialog::kMessageMap, entries};
    return &map;
}

BOOL CTestDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetTimer(m_hWnd, kSafetyTimer, 15000, nullptr);
    if (onInit) onInit(*this);
    if (action) ::PostMessageW(m_hWnd, WM_APP, 0, 0);
    return TRUE;
}

void CTestDialog::DoDataExchange(bool) {
    DDX_Control(kList, list);
    DDX_Control(kSpin, spin);
    DDX_Text(kTextField, text);
    DDX_Text(kCountField, count);
    DDV_MinMaxUInt(count, 1, 999);
    DDX_Check(kCheckBox, check);
    DDX_Text(kTtlField, ttl);
    DDV_MinMaxUInt(ttl, 1, 255);
}

BOOL CTestDialog::DestroyWindow() {
    ++destroyCalls;
    controlsAliveAtDestroy = ::IsWindow(m_hWnd) && ::IsWindow(GetDlgItem(kTextField)) && ::IsWindow(GetDlgItem(kList));
    ::KillTimer(m_hWnd, kSafetyTimer);
    return CDialog::DestroyWindow();
}

void CTestDialog::OnTimer(UINT_PTR id) {
    if (id == kSafetyTimer) {
        EndDialog(kSafetyEnd);
        return;
    }
    if (onTimer) onTimer(*this, id);
}

void CTestDialog::OnSysCommand(UINT id, LPARAM) {
    sysCommands.push_back(id & 0xFFF0);
    if (duringSysCommand) duringSysCommand(*this);
    SetMsgHandled(false);
}

LRESULT CTestDialog::OnTestMessage(WPARAM wParam, LPARAM lParam) {
    registeredCalls.emplace_back(wParam, lParam);
    return registeredResult;
}

LRESULT CTestDialog::OnAction(WPARAM, LPARAM) {
    if (action) action(*this);
    return 0;
}

HBRUSH CTestDialog::OnCtlColor(HDC, HWND, UINT kind) {
    colourKinds.push_back(kind);
    return reinterpret_cast<HBRUSH>(DefWindowProc());
}

BOOL CTestDialog::OnSetCursor(HWND window, UINT, UINT) {
    ++setCursorCalls;
    if (window && window == handCursorOver) return TRUE;
    SetMsgHandled(false);
    return FALSE;
}

}  // namespace quillbin::win::testing
