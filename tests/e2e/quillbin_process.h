// One copy of the program in a fresh folder of its own, run as a process of
// its own and driven from outside through its windows. The copy's settings
// file lies beside it, so every test starts from the file it chooses.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/waiting.h"
#include "ui/dialog_ids.h"

namespace quillbin::win::e2e {

// The main dialog's caption; its controls are those of ui/dialog_ids.h.
inline constexpr wchar_t kDialogCaption[] = L"ICMP Echo Quillbin";

struct ProgramOptions {
    // The copy's file name; the message boxes' caption and the settings file
    // follow it.
    std::wstring fileName = L"quillbin.exe";
    // Bytes of a settings file put beside the copy before it starts.
    std::optional<std::string> settings;
    // How the name of the copy's fresh folder starts.
    std::wstring folderStem = L"quillbin_e2e";
    // The program copied (from beside the test program) and the caption of
    // the dialog that shows it is up: another program on the same framework
    // can be run the same way.
    std::wstring source = L"quillbin.exe";
    std::wstring caption = kDialogCaption;
    // A full path: run that program where it lies, in place of a copy (the
    // settings file is then put beside it, and the folder is left as it is).
    std::wstring inPlace;
};

// The process is ended if it still runs, and its folder removed, when the
// object goes.
class QuillbinProcess {
public:
    explicit QuillbinProcess(ProgramOptions options = {}) : m_options(std::move(options)) {}

    // Copies the program, starts it and waits (bounded) for its dialog.
    // When false, `error()` says why.
    bool Start(DWORD timeoutMs = 20000, DWORD pollMs = kPollMs);
    const std::string& error() const { return m_error; }

    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    DWORD ProcessId() const { return m_process.ProcessId(); }
    // GetTickCount just before the process was created.
    DWORD StartTick() const { return m_startTick; }
    HANDLE Process() const { return m_process.Process(); }
    bool Running() const { return m_process.Running(); }
    bool WaitForExit(DWORD timeoutMs) const { return m_process.WaitForExit(timeoutMs); }
    DWORD ExitCode() const { return m_process.ExitCode(); }
    // Ends it at once (a test that failed half-way).
    void Terminate() { m_process.Terminate(); }

    const std::wstring& Folder() const { return m_folder.Path(); }
    const std::wstring& ProgramPath() const { return m_programPath; }
    // The copy's name without folder and extension.
    std::wstring ApplicationName() const;
    std::wstring SettingsPath() const;
    // The settings file's bytes; nothing when there is no file.
    std::optional<std::string> ReadSettings() const { return ReadWholeFile(SettingsPath()); }

private:
    bool CopyProgram();

    ProgramOptions m_options;
    TempFolder m_folder{m_options.folderStem};
    std::wstring m_programPath = m_folder.File(m_options.fileName);
    ChildProcess m_process;
    DWORD m_startTick = 0;
    HWND m_dialog = nullptr;
    std::string m_error;
};

}  // namespace quillbin::win::e2e
