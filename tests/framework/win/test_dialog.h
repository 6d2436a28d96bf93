// A dialog for the framework tests: it exchanges a text, two numbers with
// ranges and a check box, binds a list box and a spin, and records what its
// message table delivers. Tests act from inside its modal loop through
// `action` (run on WM_APP, posted once the loop runs); a safety timer ends
// any dialog that a broken test leaves open.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/win/controls.h"
#include "framework/win/dialog.h"

namespace quillbin::win::testing {

inline constexpr UINT kTestTemplate = 200;
inline constexpr UINT kInnerTemplate = 210;
inline constexpr int kTextField = 201;
inline constexpr int kCountField = 202;
inline constexpr int kSpin = 203;
inline constexpr int kTtlField = 204;
inline constexpr int kCheckBox = 205;
inline constexpr int kList = 206;
inline constexpr int kSendButton = 207;
inline constexpr int kStatusLine = 208;
inline constexpr int kOtherButton = 209;

inline constexpr int kSafetyEnd = -2;
inline constexpr UINT_PTR kSafetyTimer = 9999;

class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT templateId = kTestTemplate, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    // The registered message the table refers to by address.
    static UINT s_testMessage;

    std::string text;
    uint32_t count = 0;
    uint32_t ttl = 0;
    int32_t check = 0;
    CListBox list;
    CSpinButtonCtrl spin;

    std::function<void(CTestDialog&)> onInit;
    std::function<void(CTestDialog&)> action;
    std::function<void(CTestDialog&, UINT_PTR)> onTimer;
    // Runs inside OnSysCommand, before it leaves the command to the default
    // processing.
    std::function<void(CTestDialog&)> duringSysCommand;
    LRESULT registeredResult = 0;

    int sendClicks = 0;
    int destroyCalls = 0;
    bool controlsAliveAtDestroy = false;
    std::vector<std::pair<WPARAM, LPARAM>> registeredCalls;
    std::vector<UINT> sysCommands;
    std::vector<UINT> colourKinds;
    HWND handCursorOver = nullptr;  // OnSetCursor answers TRUE itself over this window
    int setCursorCalls = 0;

    using CDialog::UpdateData;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnInitDialog() override;
    void DoDataExchange(bool save) override;
    BOOL DestroyWindow() override;

private:
    void OnSend() { ++sendClicks; }
    void OnTimer(UINT_PTR id);
    void OnSysCommand(UINT id, LPARAM lParam);
    LRESULT OnTestMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnAction(WPARAM, LPARAM);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
};

}  // namespace quillbin::win::testing
