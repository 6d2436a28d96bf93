// The bindings of an echo run started from the main dialog: the ICMP and
// socket bindings of Win32EchoBindings, with the lines going to the dialog's
// result list and status line and the results event to its ghost notifier.
//
// Every call here runs on the worker thread; the controls are reached by
// synchronous messages that the window thread carries out.
#pragma once

#include <windows.h>

#include "echo/echo_worker_thread.h"
#include "echo/win/win32_echo_bindings.h"
#include "framework/win/controls.h"
#include "sstp/win/ghost_notifier_bindings.h"

namespace quillbin::win {

// What a run touches of the dialog. All of it outlives the run.
struct DialogEchoTargets {
    const CListBox* resultList = nullptr;
    HWND statusLine = nullptr;
    GhostNotifierBindings* notifier = nullptr;
};

class DialogEchoBindings : public EchoRunBindings, public EchoDisplay, public ResultsNotifier {
public:
    explicit DialogEchoBindings(const DialogEchoTargets& targets);

    EchoRoles Roles(const StopSignal& stop) override;

    // The texts are code page 932 bytes; they are shown through the wide
    // functions, so they read right whatever the ANSI code page.
    void ClearResultList() override;
    void AddResultLine(std::string_view line) override;
    void SetStatusText(std::string_view text) override;

    void NotifyGhosts(std::string_view body) override;

private:
    Win32EchoBindings m_bindings;
    const CListBox& m_resultList;
    CStatic m_statusLine;
    GhostNotifierBindings& m_notifier;
};

}  // namespace quillbin::win
