#include "tests/e2e/quillbin_process.h"

#include <atomic>
#include <string_view>

#include "tests/support/ghost_host_fixture.h"

namespace quillbin::win::e2e {

namespace {

constexpr DWORD kEndTimeoutMs = 10000;

struct DialogSearch {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !::IsWindowVisible(window)) return TRUE;
    wchar_t name[16] = {};
    wchar_t caption[128] = {};
    ::GetClassNameW(window, name, 16);
    ::GetWindowTextW(window, caption, 128);
    if (std::wstring_view(name) == L"#32770" && caption == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring CreateFreshFolder(const std::wstring& parent, const std::wstring& stem) {
    static std::atomic<unsigned> counter{0};
    std::wstring base = parent;
    if (base.empty()) {
        wchar_t temp[MAX_PATH + 1] = {};
        DWORD n = ::GetTempPathW(MAX_PATH, temp);
        if (n == 0 || n > MAX_PATH) return {};
        base = temp;
    }
    if (base.back() != L'\\') base += L'\\';
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring folder = base + stem + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                              std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(counter++);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder + L"\\";
    }
    return {};
}

void RemoveFolder(const std::wstring& folder) {
    if (folder.empty()) return;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                std::wstring file = folder + found.cFileName;
                ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(file.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string out;
    char buffer[16 * 1024];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    return out;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

QuillbinProcess::QuillbinProcess(ProgramOptions options) : m_options(std::move(options)) {}

QuillbinProcess::~QuillbinProcess() {
    if (Running()) Terminate();
    RemoveFolder(m_folder);
}

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
    // executable, not the working directory.
    std::wstring commandLine = L"\"" + m_programPath + L"\"";
    std::wstring workingFolder = ProgramDirectory();
    // The run's diagnostic line on standard output goes nowhere, as it does
    // for a program without a console, instead of into the test's output.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueFile nowhere(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inheritable, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (nowhere) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere.get();
    }
    PROCESS_INFORMATION info{};
    m_startTick = ::GetTickCount();
    if (!::CreateProcessW(m_programPath.c_str(), commandLine.data(), nullptr, nullptr, nowhere ? TRUE : FALSE, 0,
                          nullptr, workingFolder.c_str(), &startup, &info)) {
        m_error = "cannot start the copy, error " + std::to_string(::GetLastError());
        return false;
    }
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    m_processId = info.dwProcessId;

    bool found = WaitUntil(
        [this] {
            DialogSearch search{m_processId, &m_options.caption, nullptr};
            ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
            m_dialog = search.found;
            return m_dialog != nullptr || !Running();
        },
        timeoutMs, pollMs);
    if (m_dialog) return true;
    m_error = found ? "the program ended before its dialog appeared, exit code " + std::to_string(ExitCode())
                    : "no dialog within " + std::to_string(timeoutMs) + " ms";
    return false;
}

bool QuillbinProcess::CopyProgram() {
    m_folder = CreateFreshFolder(m_options.parent, L"quillbin_e2e");
    if (m_folder.empty()) {
        m_error = "cannot create a folder for the copy";
        return false;
    }
    m_programPath = m_folder + m_options.fileName;
    std::wstring original = ProgramDirectory() + m_options.source;
    if (!::CopyFileW(original.c_str(), m_programPath.c_str(), FALSE)) {
        m_error = "cannot copy the program, error " + std::to_string(::GetLastError());
        return false;
    }
    return true;
}

bool QuillbinProcess::Running() const { return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT; }

bool QuillbinProcess::WaitForExit(DWORD timeoutMs) const {
    return !m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD QuillbinProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

void QuillbinProcess::Terminate() {
    if (!m_process) return;
    ::TerminateProcess(m_process.get(), 1);
    ::WaitForSingleObject(m_process.get(), kEndTimeoutMs);
}

std::wstring QuillbinProcess::ApplicationName() const {
    std::wstring name = m_options.fileName;
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring QuillbinProcess::SettingsPath() const {
    return m_programPath.substr(0, m_programPath.size() - 3) + L"ini";
}

std::optional<std::string> QuillbinProcess::ReadSettings() const { return ReadWholeFile(SettingsPath()); }

}  // namespace quillbin::win::e2e
