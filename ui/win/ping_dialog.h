// The main dialog: the five settings with their fields, the result list and
// the status line, the send button that starts an echo run on a worker
// thread, the ghost notifier with its refresh timer, and the start-up and
// closing events. The results can be copied: Ctrl+C on the list, or its
// context menu.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "echo/echo_worker_thread.h"
#include "framework/win/controls.h"
#include "framework/win/dialog.h"
#include "settings/ping_settings.h"
#include "sstp/win/ghost_notifier_bindings.h"
#include "ui/win/dialog_echo_bindings.h"

namespace quillbin::win {

class CPingDialog : public CDialog {
public:
    explicit CPingDialog(CWnd* parent = nullptr);

    // Closing: the window is hidden at once, so the user sees it close, and
    // the closing steps go on unseen. A run under way is asked to stop and
    // ends at its next step, without a results event; this thread keeps
    // carrying out the messages the run sends meanwhile. From here on no run
    // starts and no box of the dialog's own opens; when this returns no
    // worker is left. The closing event and the settings are not sent or
    // saved a second time after the session's end did it.
    BOOL DestroyWindow() override;

    int RefreshGhostList();
    unsigned SendSstpNotify(std::string_view body);

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(bool save) override;
    BOOL OnInitDialog() override;
    // Ctrl+C while the result list has the focus.
    BOOL PreTranslateMessage(MSG* message) override;

    // The bindings of the next run, made on the window thread just before
    // the worker starts. Tests put a scripted one in its place.
    virtual std::unique_ptr<EchoRunBindings> CreateEchoBindings();
    // What the dialog's own bindings touch; for those that replace it.
    DialogEchoTargets EchoTargets();

    CSpinButtonCtrl m_ttlSpin;
    CListBox m_resultList;
    CSpinButtonCtrl m_countSpin;
    CSpinButtonCtrl m_sizeSpin;
    PingSettings m_settings;
    HICON m_hIcon;
    HICON m_hSmallIcon;
    std::wstring m_settingsPath;

private:
    LRESULT OnSakura(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSend();
    void OnAbout();
    void OnTimer(UINT_PTR id);
    void OnContextMenu(HWND window, POINT screen);
    // Sign-out, restart or shutdown: consented to at once; once the session
    // ends, the closing steps run without a box and the process may be
    // ended at any moment after.
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    // Every line of the list, then the status line, joined by CR LF, as
    // Unicode text; nothing happens while the list is empty.
    void OnCopyResults();

    // On the worker thread, which ends when EchoWorker returns.
    void EchoWorker();
    void EchoRun();

    void EnableSendButton(BOOL enable);
    // The closing steps, each at most once, whichever way the dialog ends.
    void SendClosingEvent();
    void SaveSettingsOnClosing(bool silently);

    // Loaded from the module's resources: freed with it, never by hand.
    HACCEL m_accelerators;

    // The ghost list and its lock.
    GhostNotifierBindings m_notifier;
    bool m_closingEventSent = false;
    bool m_settingsSaved = false;

    // The worker, the settings of its press, its bindings and its stop.
    // Declared last, so that it is closed first: its run uses the controls
    // and the notifier to its end.
    EchoWorkerThread m_echoWorker;
};

}  // namespace quillbin::win
