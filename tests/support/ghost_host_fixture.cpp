#include "tests/support/ghost_host_fixture.h"

#include <atomic>
#include <vector>

#include "framework/win/wide_text.h"
#include "tests/support/command_line.h"
#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win {

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kQuitTimeoutMs = 5000;

std::string LastErrorText(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(::GetLastError());
}

// A folder of our own under the temporary directory, unique per process and
// per fixture, so tests that run side by side never share a log.
std::wstring CreatePrivateFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n > MAX_PATH) return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring folder = std::wstring(temp) + L"quillbin_ghost_host_" + std::to_wstring(::GetCurrentProcessId()) +
                              L"_" + std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(counter++);
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder + L"\\";
    }
    return {};
}

std::string ReadWholeFile(const std::wstring& path) {
    // The host keeps appending: share everything, read what is there now.
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string out;
    char buffer[64 * 1024];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    return out;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchControlWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    if (pid == search->processId && ::GetClassNameW(window, name, 64) > 0 &&
        std::wstring_view(name) == kGhostHostWindowClass) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring ProgramDirectory() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            std::wstring full(path.data(), n);
            return full.substr(0, full.find_last_of(L"\\/") + 1);
        }
        path.resize(path.size() * 2);
    }
}

GhostHostProcess::GhostHostProcess(const std::vector<std::string>& arguments, DWORD readyTimeoutMs) {
    if (!Start(arguments, readyTimeoutMs) && m_process) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), kQuitTimeoutMs);
    }
}

bool GhostHostProcess::Start(const std::vector<std::string>& arguments, DWORD readyTimeoutMs) {
    m_folder = CreatePrivateFolder();
    if (m_folder.empty()) {
        m_error = "cannot create a temporary folder";
        return false;
    }
    m_logPath = m_folder + L"requests.log";
    std::wstring exe = ProgramDirectory() + L"ghost_host.exe";
    std::vector<std::wstring> wide;
    for (const std::string& a : arguments) wide.push_back(WideFromUtf8(a));
    wide.push_back(L"--log");
    wide.push_back(m_logPath);
    // The program name follows simpler rules: quotes only, no escapes.
    std::wstring commandLine = L"\"" + exe + L"\" " + JoinCommandLine(wide);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(),
                          &startup, &info)) {
        m_error = LastErrorText("starting ghost_host.exe");
        return false;
    }
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    m_processId = info.dwProcessId;

    // The control window appears once the block is published.
    DWORD started = ::GetTickCount();
    while (::GetTickCount() - started < readyTimeoutMs) {
        if (HWND window = FindControlWindow()) {
            m_controlWindow = window;
            return true;
        }
        if (::WaitForSingleObject(m_process.get(), kPollMs) == WAIT_OBJECT_0) {
            m_error = "ghost_host.exe ended before it was ready, exit code " + std::to_string(ExitCode());
            return false;
        }
    }
    m_error = "ghost_host.exe was not ready within " + std::to_string(readyTimeoutMs) + " ms";
    return false;
}

GhostHostProcess::~GhostHostProcess() {
    if (m_process) {
        if (Running() && m_controlWindow) Command("quit");
        if (!WaitForExit(kQuitTimeoutMs)) {
            ::TerminateProcess(m_process.get(), 1);
            ::WaitForSingleObject(m_process.get(), kQuitTimeoutMs);
        }
    }
    if (!m_logPath.empty()) ::DeleteFileW(m_logPath.c_str());
    if (!m_folder.empty()) ::RemoveDirectoryW(m_folder.c_str());
}

HWND GhostHostProcess::FindControlWindow() const {
    WindowSearch search{m_processId, nullptr};
    ::EnumWindows(MatchControlWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool GhostHostProcess::Running() const {
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool GhostHostProcess::WaitForExit(DWORD timeoutMs) const {
    return !m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD GhostHostProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

std::vector<LoggedRequest> GhostHostProcess::Requests() const {
    return ParseRequestLog(ReadWholeFile(m_logPath)).requests;
}

bool GhostHostProcess::WaitForRequests(size_t count, DWORD timeoutMs) const {
    DWORD started = ::GetTickCount();
    for (;;) {
        if (Requests().size() >= count) return true;
        if (::GetTickCount() - started >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

bool GhostHostProcess::Command(std::string_view text) const {
    return m_controlWindow && SendGhostHostCommand(m_controlWindow, text);
}

bool SendGhostHostCommand(HWND window, std::string_view text, UINT timeoutMs) {
    COPYDATASTRUCT data{};
    data.dwData = kGhostHostCommandId;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    DWORD_PTR answer = 0;
    LRESULT sent = ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                         timeoutMs, &answer);
    return sent != 0 && answer != 0;
}

bool ReadSakuraBlock(std::string& out, size_t bytes) {
    UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, "Sakura"));
    if (!mapping) return false;
    UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return false;
    MEMORY_BASIC_INFORMATION region{};
    if (::VirtualQuery(view.get(), &region, sizeof region) == 0) return false;
    size_t n = bytes < region.RegionSize ? bytes : region.RegionSize;
    out.assign(static_cast<const char*>(view.get()), n);
    return true;
}

}  // namespace quillbin::win
