#include "tests/e2e/quillbin_process.h"

#include <string_view>

namespace quillbin::win::e2e {

bool QuillbinProcess::Start(DWORD timeoutMs, DWORD pollMs) {
    if (!m_options.inPlace.empty()) {
        m_programPath = m_options.inPlace;
    } else if (!CopyProgram()) {
        return false;
    }
    if (m_options.settings && !WriteWholeFile(SettingsPath(), *m_options.settings)) {
        m_error = "cannot write the settings file";
        return false;
    }

    // Started from another folder: the settings file must follow the
    // executable, not the working directory. The run's diagnostic line on
    // standard output goes nowhere, as it does for a program without a
    // console, instead of into the test's output.
    m_startTick = ::GetTickCount();
    if (!m_process.Start(m_programPath, {}, ProgramDirectory(), ChildProcess::Output::Discarded)) {
        m_error = m_process.error();
        return false;
    }

    auto isTheDialog = [this](HWND window) {
        wchar_t name[16] = {};
        wchar_t caption[128] = {};
        ::GetClassNameW(window, name, 16);
        ::GetWindowTextW(window, caption, 128);
        return ::IsWindowVisible(window) && std::wstring_view(name) == L"#32770" && caption == m_options.caption;
    };
    bool found = WaitUntil(
        [&] {
            m_dialog = m_process.TopLevelWindow(isTheDialog);
            return m_dialog != nullptr || !Running();
        },
        timeoutMs, pollMs);
    if (m_dialog) return true;
    m_error = found ? "the program ended before its dialog appeared, exit code " + std::to_string(ExitCode())
                    : "no dialog within " + std::to_string(timeoutMs) + " ms";
    return false;
}

bool QuillbinProcess::CopyProgram() {
    if (!m_folder.ok()) {
        m_error = "cannot create a folder for the copy";
        return false;
    }
    std::wstring original = ProgramDirectory() + m_options.source;
    if (!::CopyFileW(original.c_str(), m_programPath.c_str(), FALSE)) {
        m_error = "cannot copy the program, error " + std::to_string(::GetLastError());
        return false;
    }
    return true;
}

std::wstring QuillbinProcess::ApplicationName() const {
    std::wstring name = m_options.fileName;
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring QuillbinProcess::SettingsPath() const {
    return m_programPath.substr(0, m_programPath.size() - 3) + L"ini";
}

}  // namespace quillbin::win::e2e
