#include "tests/support/ghost_host_fixture.h"

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

}  // namespace

GhostHostProcess::GhostHostProcess(const std::vector<std::string>& arguments, DWORD readyTimeoutMs) {
    if (!Start(arguments, readyTimeoutMs)) m_process.Terminate();
}

bool GhostHostProcess::Start(const std::vector<std::string>& arguments, DWORD readyTimeoutMs) {
    if (!m_folder.ok()) {
        m_error = "cannot create a temporary folder";
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
