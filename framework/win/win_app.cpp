#include "framework/win/win_app.h"

#include <optional>

#include "base/growing_buffer.h"
#include "framework/module_name.h"
#include "framework/win/com_apartment.h"
#include "framework/win/framework_strings.h"
#include "framework/win/resource_text.h"
#include "framework/win/wnd.h"

namespace quillbin::win {

namespace {

// The global application object registers itself here during static
// initialisation, before the entry point runs; this slot is how the entry
// point finds it.
CWinApp*& RegisteredApplication() {
    static CWinApp* application = nullptr;
    return application;
}

std::wstring NameFromStringsOrExecutable() {
    std::wstring title = LoadWideString(kIdsAppTitle);
    if (!title.empty()) return title;
    std::optional<std::wstring> path = ExecutablePath();
    if (!path) return {};
    return std::wstring(ExecutableBaseName(std::wstring_view(*path)));
}

}  // namespace

std::optional<std::wstring> ExecutablePath() {
    // The first try holds paths of up to 1023 characters; longer ones get a
    // larger buffer, up to the longest path the system knows.
    return FetchWithGrowingBuffer<wchar_t>(
        [](wchar_t* buffer, size_t capacity) {
            return static_cast<size_t>(::GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(capacity)));
        },
        1024, 32768);
}

CWinApp::CWinApp(const wchar_t* appName) {
    if (appName) m_appName = appName;
    if (!RegisteredApplication()) RegisteredApplication() = this;
}

CWinApp::~CWinApp() {
    if (RegisteredApplication() == this) RegisteredApplication() = nullptr;
}

CWinApp* CWinApp::Current() noexcept { return RegisteredApplication(); }

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() { return 0; }

std::wstring ApplicationName() {
    if (CWinApp* app = CWinApp::Current(); app && !app->m_appName.empty()) return app->m_appName;
    return NameFromStringsOrExecutable();
}

int RunApplication(HINSTANCE instance) {
    CWinApp* app = CWinApp::Current();
    if (!app) return 1;
    // The application's thread runs its windows for its whole life.
    ComApartment apartment;
    app->m_hInstance = instance;
    if (app->m_appName.empty()) app->m_appName = NameFromStringsOrExecutable();
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd()) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

}  // namespace quillbin::win
