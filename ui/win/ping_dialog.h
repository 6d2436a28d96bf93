// The main dialog: the five settings with their fields, the result list and
// the status line, the send button that starts an echo run on a worker
// thread, the ghost notifier with its refresh timer, and the start-up and
// closing events.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "echo/echo_platform.h"
#include "framework/win/controls.h"
#include "framework/win/dialog.h"
#include "framework/win/unique_handle.h"
#include "settings/ping_settings.h"
#include "sstp/win/ghost_notifier.h"
#include "ui/win/dialog_echo_platform.h"

namespace quillbin::win {

class CPingDialog : public CDialog {
public:
    explicit CPingDialog(CWnd* parent = nullptr);
    // Waits for a run that is still under way (see DestroyWindow).
    ~CPingDialog() override;

    // Runs the closing steps, then destroys the window. A run under way is
    // asked to stop first and ends at its next echo boundary, without a
    // results event; meanwhile this thread keeps carrying out the messages
    // the run sends to the controls.
    BOOL DestroyWindow() override;

    int RefreshGhostList();
    unsigned SendSstpNotify(std::string_view body);

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(bool save) override;
    BOOL OnInitDialog() override;

    // The platform of the next run, made on the window thread just before
    // the worker starts. Tests put a scripted one in its place.
    virtual std::unique_ptr<EchoPlatform> CreateEchoPlatform();
    // What the dialog's own platform touches; for those that replace it.
    DialogEchoTargets EchoTargets();

    CSpinButtonCtrl m_ttlSpin;
    CListBox m_resultList;
    CSpinButtonCtrl m_countSpin;
    CSpinButtonCtrl m_sizeSpin;
    PingSettings m_settings;
    HICON m_hIcon;
    HICON m_hSmallIcon;
    std::string m_settingsPath;

private:
    LRESULT OnSakura(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSend();
    void OnAbout();
    void OnTimer(UINT_PTR id);

    static unsigned __stdcall EchoThreadProc(void* dialog);
    void EchoWorker();
    void EchoRun();

    void EnableSendButton(BOOL enable);
    // Waits for the last worker thread to end and lets its platform go.
    void FinishEchoThread();

    // The ghost list and its lock.
    GhostNotifier m_notifier;

    // The worker of the latest run, held so that closing can wait for it:
    // the run uses this object to its end.
    UniqueHandle m_echoThread;
    std::unique_ptr<EchoPlatform> m_echoPlatform;
    // From the press until the run has returned; the worker clears it
    // before it enables the send button again.
    std::atomic<bool> m_echoRunning{false};
    std::atomic<bool> m_stopRequested{false};
};

}  // namespace quillbin::win
