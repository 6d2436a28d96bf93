// The control objects the dialogs bind with DDX_Control. They send their
// messages synchronously, so a worker thread may use them too: the window's
// own thread carries the messages out.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/win/wnd.h"

namespace quillbin::win {

class CListBox : public CWnd {
public:
    // The line's index, or LB_ERR / LB_ERRSPACE. `cp932` is shown through the
    // wide functions.
    int AddString(std::string_view cp932) const;
    void ResetContent() const;
    int GetCount() const;
    // The line as code page 932 bytes; empty for an index out of range.
    std::string GetText(int index) const;
    // The line as the list shows it, in UTF-16; empty for an index out of range.
    std::wstring GetWideText(int index) const;
};

class CSpinButtonCtrl : public CWnd {
public:
    // The 16-bit range of UDM_SETRANGE: `upper` may be below `lower`.
    void SetRange(short lower, short upper) const;
    void GetRange(int& lower, int& upper) const;
    int SetPos(int position) const;
    int GetPos() const;
};

class CStatic : public CWnd {};

}  // namespace quillbin::win
