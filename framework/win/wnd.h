// A window object: the C++ side of one window handle. Control objects are
// bound to a dialog's controls by the data exchange; dialogs dispatch their
// messages through the static message tables.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/win/message_map.h"

namespace quillbin::win {

class CWnd {
public:
    CWnd() = default;
    // Clears the application's main-window registration if it names this
    // object, so that no dangling pointer is left behind.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    // Binds the object to an existing window (or to none) without taking it
    // over: destroying the object leaves the window alone.
    void Attach(HWND window) noexcept { m_hWnd = window; }
    HWND Detach() noexcept;

    // Destroys the window; dialogs override it to run their closing steps
    // while the window and its controls still exist.
    virtual BOOL DestroyWindow();

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }

    // The window text as code page 932 bytes, through the wide functions so
    // that it reads the same whatever the ANSI code page.
    std::string GetText() const;
    std::wstring GetWideText() const;
    void SetText(std::string_view cp932) const;

protected:
    // The class's message table; the base has none.
    virtual const MessageMap* GetMessageMap() const { return nullptr; }

    // Default processing of the message now being handled, carried out at
    // once; its result becomes the message's result unless the handler
    // returns one of its own. 0 outside a handler.
    LRESULT Default();

    // Runs the message through the table. false when no row matched.
    bool Dispatch(const MessageContext& message, LRESULT& result);

    virtual LRESULT DefaultProcessing(const MessageContext& message);

    HWND m_hWnd = nullptr;

private:
    struct CurrentMessage {
        MessageContext message;
        LRESULT* result;
    };
    CurrentMessage* m_current = nullptr;
};

}  // namespace quillbin::win
