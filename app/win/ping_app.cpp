// The application: the socket library around one run of the main dialog.
#include <winsock2.h>
#include <windows.h>

#include "framework/win/win_app.h"
#include "ui/win/ping_dialog.h"

namespace quillbin::win {

namespace {

constexpr WORD kWinsockVersion = MAKEWORD(1, 1);

// F1 does nothing: the tool has no help content, so there is no help
// command to bind and no help file to look for.
class CPingApp : public CWinApp {
public:
    BOOL InitInstance() override {
        WSADATA sockets;
        if (::WSAStartup(kWinsockVersion, &sockets) != 0) return FALSE;
        {
            CPingDialog dialog(nullptr);
            m_pMainWnd = &dialog;
            // Closing waits for a run under way, so no worker uses the
            // sockets or the dialog once this returns.
            dialog.DoModal();
            ::WSACleanup();
        }
        return FALSE;
    }
};

CPingApp theApp;

}  // namespace

}  // namespace quillbin::win
