// A dialog built from a template, run modally by its own message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/win/wnd.h"

namespace quillbin::win {

class CDialog : public CWnd {
public:
    // `parent`: the owner while the dialog runs; with none, the application's
    // main window or the thread's active window owns it, if there is one.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window from the template, disables the owner and runs the
    // loop until EndDialog; then re-enables the owner and calls DestroyWindow
    // exactly once, while the window and its controls still exist. Returns
    // the end code, or -1 when the window could not be created (DestroyWindow
    // is then not called).
    virtual INT_PTR DoModal();

    // Ends the modal loop with `result` once the current message is handled.
    void EndDialog(int result);

    // Moves data between the controls and the members: `save` true reads and
    // validates the controls, stopping at the first failure (its message shown,
    // the field focused and its whole text selected) and returning false.
    bool UpdateData(bool save = true);
    // Saves as UpdateData(true) does, but a failing field shows no message
    // and takes no focus: for a save that nothing may hold up.
    bool SaveDataSilently();

    static const MessageMap kMessageMap;

protected:
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The base runs a first exchange with loading and returns TRUE (the focus
    // then goes to the first tab stop).
    virtual BOOL OnInitDialog();
    // Saves the controls and ends the dialog with IDOK when that succeeds;
    // does nothing once the modal loop has ended.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL. Esc, the close box, Alt+F4 and Close in
    // the system menu all arrive here.
    virtual void OnCancel();
    // Sees every message of the modal loop before the dialog manager does;
    // TRUE when it handled the message (an accelerator, typically), which
    // then goes no further. The base handles nothing.
    virtual BOOL PreTranslateMessage(MSG* message);

    // The dialog's exchange, made of the DDX_ and DDV_ steps below.
    virtual void DoDataExchange(bool save);

    // Exchange steps, valid inside DoDataExchange. After a failure every later
    // step does nothing, so the members that follow keep their values.
    // Binds `control` to the dialog's control `id` once; later exchanges
    // leave the binding as it is.
    void DDX_Control(int id, CWnd& control);
    // The whole text, as code page 932 bytes.
    void DDX_Text(int id, std::string& value);
    // An unsigned number: saving reads it like ReadNumberField (failing with
    // string 61719), loading writes "%u".
    void DDX_Text(int id, uint32_t& value);
    // A check box: 0 clear, 1 ticked, 2 indeterminate; a value outside 0..2
    // loads as 0.
    void DDX_Check(int id, int32_t& value);
    // Applies when saving, to the field of the step just before: a value
    // outside min..max fails with string 61714. The member keeps the value.
    void DDV_MinMaxUInt(uint32_t value, uint32_t minimum, uint32_t maximum);

    UINT m_templateId;
    CWnd* m_pParentWnd;

private:
    static const MessageEntry kEntries[];
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(HWND window, const MessageContext& message);
    BOOL HandleInitDialog();
    void OnFinalDestroy();
    HWND FindOwner() const;
    void CentreWindow();

    // The exchange under way: which way, whether failures are shown, whether
    // a step failed, and the control of the last step (the one a range check
    // refers to).
    struct ExchangeState {
        bool active = false;
        bool save = false;
        bool silent = false;
        bool failed = false;
        HWND lastControl = nullptr;
    };
    bool Exchange(bool save, bool silent);
    HWND PrepareControl(int id);
    bool Skipping() const { return !m_exchange.active || m_exchange.failed; }
    // Shows `message` and selects the failing field, unless silent.
    void Fail(const std::string& message);

    ExchangeState m_exchange;
    std::vector<CWnd*> m_boundControls;
    bool m_inModalLoop = false;
    bool m_ended = false;
    int m_modalResult = -1;
};

}  // namespace quillbin::win
