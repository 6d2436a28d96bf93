// bare_dialog.exe: a modal dialog on the same framework as the program, from
// a template like the main dialog's, with nothing else: no ghosts, no
// settings, no sockets. The UI benchmark times its start against the
// program's. Esc or the close box end it.
#include <windows.h>

#include "framework/win/dialog.h"
#include "framework/win/win_app.h"

namespace {

constexpr UINT kTemplateId = 100;

class CBareDialog : public quillbin::win::CDialog {
public:
    CBareDialog() : CDialog(kTemplateId) {}
};

class CBareApp : public quillbin::win::CWinApp {
public:
    BOOL InitInstance() override {
        CBareDialog dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        return FALSE;
    }
};

CBareApp theApp;

}  // namespace
