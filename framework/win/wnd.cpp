#include "framework/win/wnd.h"

#include <utility>

#include "framework/win/wide_text.h"
#include "framework/win/win_app.h"

namespace quillbin::win {

CWnd::~CWnd() {
    if (CWinApp* app = CWinApp::Current(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

HWND CWnd::Detach() noexcept { return std::exchange(m_hWnd, nullptr); }

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

std::string CWnd::GetText() const { return Cp932FromWide(GetWideText()); }

std::wstring CWnd::GetWideText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void CWnd::SetText(std::string_view cp932) const { ::SetWindowTextW(m_hWnd, WideFromCp932(cp932).c_str()); }

LRESULT CWnd::Default() {
    if (!m_current || !m_hWnd) return 0;
    LRESULT result = DefaultProcessing(m_current->message);
    *m_current->result = result;
    return result;
}

bool CWnd::Dispatch(const MessageContext& message, LRESULT& result) {
    const MessageMap* map = GetMessageMap();
    const MessageEntry* entry = map ? map->Find(message) : nullptr;
    if (!entry) return false;
    CurrentMessage current{message, &result};
    CurrentMessage* outer = std::exchange(m_current, &current);
    entry->thunk(*this, message, result);
    m_current = outer;
    return true;
}

LRESULT CWnd::DefaultProcessing(const MessageContext& message) {
    return ::DefWindowProcW(m_hWnd, message.message, message.wParam, message.lParam);
}

}  // namespace quillbin::win
