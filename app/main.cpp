// A stand-in application until the main dialog exists: it shows that the
// framework's entry point runs and then ends the program.
#include <windows.h>

#include "framework/win/win_app.h"

namespace {

class CStubApp : public quillbin::win::CWinApp {
public:
    BOOL InitInstance() override {
        ::MessageBoxW(nullptr, L"ICMP Echo Quillbin: the main dialog comes later.", m_appName.c_str(),
                      MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
};

CStubApp theApp;

}  // namespace
