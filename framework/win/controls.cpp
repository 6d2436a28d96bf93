#include "framework/win/controls.h"

#include <commctrl.h>

#include "framework/win/wide_text.h"

namespace quillbin::win {

int CListBox::AddString(std::string_view cp932) const {
    std::wstring line = WideFromCp932(cp932);
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
}

void CListBox::ResetContent() const { Send(LB_RESETCONTENT); }

int CListBox::GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }

std::string CListBox::GetText(int index) const { return Cp932FromWide(GetWideText(index)); }

std::wstring CListBox::GetWideText(int index) const {
    LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR || length < 0) return {};
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()));
    line.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return line;
}

void CSpinButtonCtrl::SetRange(short lower, short upper) const {
    Send(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
    auto range = static_cast<DWORD>(Send(UDM_GETRANGE));
    lower = static_cast<short>(HIWORD(range));
    upper = static_cast<short>(LOWORD(range));
}

int CSpinButtonCtrl::SetPos(int position) const {
    return static_cast<int>(Send(UDM_SETPOS32, 0, static_cast<LPARAM>(position)));
}

int CSpinButtonCtrl::GetPos() const { return static_cast<int>(Send(UDM_GETPOS32, 0, 0)); }

}  // namespace quillbin::win
