// The main dialog as a user meets it: its fields, the send button, the list
// and the status line, reached through the dialog's window handle from
// another process.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace quillbin::win::e2e {

struct Fields {
    std::wstring host = L"127.0.0.1";
    std::wstring count = L"1";
    std::wstring size = L"18";
    std::wstring ttl = L"255";
};

class DialogDriver {
public:
    DialogDriver() = default;
    explicit DialogDriver(HWND dialog) : m_dialog(dialog) {}

    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }

    std::wstring Text(int id) const;
    bool Type(int id, std::wstring_view text) const;
    bool Fill(const Fields& fields) const;

    std::vector<std::wstring> Lines() const;
    std::wstring Status() const;
    bool SendEnabled() const;

    // Presses the send button (a posted click).
    void PressSend() const;
    // Waits (bounded) for the send button to be enabled again after a run.
    bool WaitIdle(DWORD timeoutMs) const;

    // What a failed expectation should show of the dialog: the status line,
    // the number of list lines, the send button's state and the focus.
    std::string Describe() const;

private:
    HWND m_dialog = nullptr;
};

}  // namespace quillbin::win::e2e
