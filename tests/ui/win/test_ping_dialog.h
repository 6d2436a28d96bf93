// The main dialog under test: its settings file in a private folder, an echo
// run whose echoes are scripted (each takes a set time, then comes back
// whole or not at all), and a script of steps run from a timer on the
// window thread while the dialog's own loop goes on.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ui/win/ping_dialog.h"

namespace quillbin::win::testing {

struct EchoScript {
    DWORD echoMs = 0;
    bool answered = true;  // false: every echo times out
    std::atomic<int> echoesSent{0};
    // Bindings made and not yet freed: the dialog frees one only once its
    // worker has ended.
    std::atomic<int> liveBindings{0};
};

class TestPingDialog : public CPingDialog {
public:
    // A step returns true when it is done; the next runs at the next tick.
    using Step = std::function<bool(TestPingDialog&)>;

    TestPingDialog(std::wstring settingsPath, EchoScript& script);
    ~TestPingDialog() override;

    std::vector<Step> steps;

    // Each made platform, with whether the send button was enabled just then.
    int bindingsMade = 0;
    std::vector<bool> sendEnabledAtBindings;
    // Set when a step asks the dialog to close; 0 while it has not.
    DWORD closeRequestedAt = 0;

    HWND Item(int id) const { return GetDlgItem(id); }
    void SetField(int id, const wchar_t* text) const { ::SetWindowTextW(Item(id), text); }
    // A click on the send button, carried out before this returns.
    void ClickSend() const;
    // What Esc does: the modal loop ends with IDCANCEL.
    void RequestClose();
    int ListCount() const { return m_resultList.GetCount(); }
    std::wstring ListLine(int index) const;
    std::wstring ItemText(int id) const;
    // A visible top-level window of this thread with a child `childId`: a
    // message box (its text is 0xFFFF) or the About box (kMakerLink).
    static HWND ThreadWindowWith(int childId);

protected:
    BOOL OnInitDialog() override;
    std::unique_ptr<EchoRunBindings> CreateEchoBindings() override;

private:
    static void CALLBACK StepTimer(HWND window, UINT, UINT_PTR, DWORD);
    static void CALLBACK SafetyTimer(HWND window, UINT, UINT_PTR, DWORD);
    static TestPingDialog* s_running;

    EchoScript& m_script;
    size_t m_nextStep = 0;
};

}  // namespace quillbin::win::testing
