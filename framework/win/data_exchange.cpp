// The dialog's data exchange: moving values between the controls and the
// members, with the reading and range rules of the number fields.
#include <string>

#include "framework/message_format.h"
#include "framework/number_field.h"
#include "framework/win/dialog.h"
#include "framework/win/framework_strings.h"
#include "framework/win/message_box.h"
#include "framework/win/resource_text.h"

namespace quillbin::win {

namespace {

std::u16string WindowTextUtf16(HWND control) {
    int length = ::GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(control, text.data(), length + 1);
    return std::u16string(text.begin(), text.begin() + (copied > 0 ? copied : 0));
}

}  // namespace

bool CDialog::UpdateData(bool save) { return Exchange(save, false); }

bool CDialog::SaveDataSilently() { return Exchange(true, true); }

bool CDialog::Exchange(bool save, bool silent) {
    // A message box of a failing step runs a loop of its own, in which a
    // handler may start another exchange.
    ExchangeState outer = m_exchange;
    m_exchange = ExchangeState{true, save, silent, false, nullptr};
    DoDataExchange(save);
    bool passed = !m_exchange.failed;
    m_exchange = outer;
    return passed;
}

HWND CDialog::PrepareControl(int id) {
    m_exchange.lastControl = GetDlgItem(id);
    return m_exchange.lastControl;
}

void CDialog::Fail(const std::string& message) {
    m_exchange.failed = true;
    if (m_exchange.silent) return;
    ShowMessageBox(m_hWnd, message);
    HWND control = m_exchange.lastControl;
    if (!control || !m_hWnd) return;
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ::SendMessageW(control, EM_SETSEL, 0, -1);
}

void CDialog::DDX_Control(int id, CWnd& control) {
    if (control.GetSafeHwnd()) return;
    HWND window = GetDlgItem(id);
    if (!window) return;
    control.Attach(window);
    m_boundControls.push_back(&control);
}

void CDialog::DDX_Text(int id, std::string& value) {
    if (Skipping()) return;
    HWND control = PrepareControl(id);
    if (!control) return;
    CWnd field;
    field.Attach(control);
    if (m_exchange.save) {
        value = field.GetText();
    } else {
        field.SetText(value);
    }
}

void CDialog::DDX_Text(int id, uint32_t& value) {
    if (Skipping()) return;
    HWND control = PrepareControl(id);
    if (!control) return;
    if (!m_exchange.save) {
        ::SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    std::optional<uint32_t> number = ReadNumberField(WindowTextUtf16(control));
    if (!number) {
        Fail(LoadCp932String(kIdsParseUnsigned));
        return;
    }
    value = *number;
}

void CDialog::DDX_Check(int id, int32_t& value) {
    if (Skipping()) return;
    HWND control = PrepareControl(id);
    if (!control) return;
    if (m_exchange.save) {
        value = static_cast<int32_t>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        WPARAM state = value >= 0 && value <= 2 ? static_cast<WPARAM>(value) : 0;
        ::SendMessageW(control, BM_SETCHECK, state, 0);
    }
}

void CDialog::DDV_MinMaxUInt(uint32_t value, uint32_t minimum, uint32_t maximum) {
    if (Skipping() || !m_exchange.save || IsInRange(value, minimum, maximum)) return;
    Fail(FormatMessageArgs(LoadCp932String(kIdsRangeUnsigned), {std::to_string(minimum), std::to_string(maximum)}));
}

}  // namespace quillbin::win
