// The application object. A program defines exactly one, as a global
// object, and the framework's entry point (win_main.cpp) runs it:
// InitInstance once; FALSE ends the program without a message loop.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quillbin::win {

class CWnd;

class CWinApp {
public:
    // `appName`: nullptr names the application after string 57344, or when
    // there is none after the executable (see ApplicationName).
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The one application object of the process, or nullptr.
    static CWinApp* Current() noexcept;

    // TRUE enters the message loop (Run); FALSE ends the program at once.
    virtual BOOL InitInstance();
    // The message loop: until WM_QUIT, then ExitInstance.
    virtual int Run();
    // The process's exit code.
    virtual int ExitInstance();

    HINSTANCE m_hInstance = nullptr;
    std::wstring m_appName;
    // The main window. Cleared by the framework when that window is destroyed,
    // so nothing refers to a dialog object whose window has gone.
    CWnd* m_pMainWnd = nullptr;
};

// The caption of the framework's message boxes: the application object's
// name, else string 57344, else the executable's file name without folder
// and extension.
std::wstring ApplicationName();

// The running program's path, whole and in UTF-16 (the ANSI form writes a
// character the code page cannot as '?'); nothing when it cannot be had.
std::optional<std::wstring> ExecutablePath();

// What WinMain does: runs the registered application object.
int RunApplication(HINSTANCE instance);

}  // namespace quillbin::win
