#include "tests/support/ghost_host_fixture.h"

#include <tlhelp32.h>

#include "framework/win/wide_text.h"
#include "tests/support/waiting.h"
#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win {

namespace {

constexpr DWORD kQuitTimeoutMs = 5000;

bool IsControlWindow(HWND window) {
    wchar_t name[64] = {};
    return ::GetClassNameW(window, name, 64) > 0 && std::wstring_view(name) == kGhostHostWindowClass;
}

bool SakuraBlockExists() { return UniqueHandle(::OpenFileMappingA(FILE_MAP_READ, FALSE, "Sakura")).is_valid(); }

// A block of a host that has just quit can outlive it by a reader's copy.
constexpr DWORD kOldBlockGoneMs = 3000;

}  // namespace

std::string EndLeftoverProcesses() {
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return {};
    std::string found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        std::wstring_view name(entry.szExeFile);
        if (::lstrcmpiW(entry.szExeFile, L"ghost_host.exe") != 0 && ::lstrcmpiW(entry.szExeFile, L"quillbin.exe") != 0) {
            continue;
        }
        UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        bool ended = process && ::TerminateProcess(process.get(), 1) &&
                     ::WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0;
        if (!found.empty()) found += ", ";
        found += Utf8FromWide(std::wstring(name)) + " (process " + std::to_string(entry.th32ProcessID) +
                 (ended ? ", ended now)" : ", could not be ended)");
    }
    return found;
}

GhostHostProcess::GhostHostProcess(const std::vector<std::string>& arguments, DWORD readyTimeoutMs) {
    if (!Start(arguments, readyTimeoutMs)) m_process.Terminate();
}

bool GhostHostProcess::Start(const std::vector<std::string>& arguments, DWORD readyTimeoutMs) {
    if (!m_folder.ok()) {
        m_error = "cannot create a temporary folder";
        return false;
    }
    // What an earlier test left running would publish its own block, or
    // answer in place of the program under test.
    if (std::string leftovers = EndLeftoverProcesses(); !leftovers.empty()) {
        m_error = "an earlier test left these running in this Wine prefix: " + leftovers;
        return false;
    }
    if (!WaitUntil([] { return !SakuraBlockExists(); }, kOldBlockGoneMs)) {
        m_error = "a block \"Sakura\" of another publisher exists in this Wine prefix";
        return false;
    }
    std::vector<std::wstring> wide;
    for (const std::string& a : arguments) wide.push_back(WideFromUtf8(a));
    wide.push_back(L"--log");
    wide.push_back(m_logPath);
    if (!m_process.Start(ProgramDirectory() + L"ghost_host.exe", wide, m_folder.Path())) {
        m_error = m_process.error();
        return false;
    }

    // The control window appears once the block is published.
    WaitUntil(
        [this] {
            m_controlWindow = m_process.TopLevelWindow(IsControlWindow);
            return m_controlWindow != nullptr || !Running();
        },
        readyTimeoutMs);
    if (m_controlWindow) return true;
    m_error = Running() ? "ghost_host.exe was not ready within " + std::to_string(readyTimeoutMs) + " ms"
                        : "ghost_host.exe ended before it was ready, exit code " + std::to_string(ExitCode());
    return false;
}

GhostHostProcess::~GhostHostProcess() {
    if (Running() && m_controlWindow) Command("quit");
    if (!WaitForExit(kQuitTimeoutMs)) m_process.Terminate();
}

std::vector<LoggedRequest> GhostHostProcess::Requests() const {
    return ParseRequestLog(ReadWholeFile(m_logPath).value_or("")).requests;
}

bool GhostHostProcess::WaitForRequests(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Requests().size() >= count; }, timeoutMs);
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
