// A program built on the framework's entry point for the application tests:
// it reports what its application object sees on standard output and ends
// from InitInstance, as the real program does.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "framework/win/message_box.h"
#include "framework/win/wide_text.h"
#include "framework/win/win_app.h"
#include "settings/win/settings_file.h"

namespace {

void Report(const std::string& line) {
    std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

class CProbeApp : public quillbin::win::CWinApp {
public:
    BOOL InitInstance() override {
        Report("init " + std::to_string(++m_initCalls));
        Report("name " + quillbin::win::Utf8FromWide(m_appName));
        Report("caption " + quillbin::win::Utf8FromWide(quillbin::win::ApplicationName()));
        Report("ini " + quillbin::win::Utf8FromWide(quillbin::win::SettingsFilePath()));
        Report(std::string("instance ") + (m_hInstance == ::GetModuleHandleW(nullptr) ? "ok" : "wrong"));
        APTTYPE apartment;
        APTTYPEQUALIFIER qualifier;
        bool sta = SUCCEEDED(::CoGetApartmentType(&apartment, &qualifier)) &&
                   (apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA);
        Report(std::string("apartment ") + (sta ? "single-threaded" : "none"));
        return FALSE;
    }
    int Run() override {
        Report("run");
        return 7;
    }
    int ExitInstance() override {
        Report("exit");
        return 42;
    }

private:
    int m_initCalls = 0;
};

CProbeApp theApp;

}  // namespace
