// Runs the demo ghost host (ghost_host.exe, found beside the running test
// program) for one test: a fresh log file in a private temporary folder, a
// bounded wait until the host is ready, and a clean stop at the end.
//
// Every test that uses it must carry the CTest property RESOURCE_LOCK sakura:
// all processes of one Wine prefix share one block "Sakura". A host does not
// start beside one left running by an earlier test, nor beside another
// block "Sakura": it fails, naming what it found.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tools/ghost_host/request_log.h"

namespace quillbin::win {

class GhostHostProcess {
public:
    // `arguments` (UTF-8) follow the executable's name, e.g.
    // {"--ghost", "Alpha:zero", "--hidden"}; the fixture adds "--log FILE".
    explicit GhostHostProcess(const std::vector<std::string>& arguments = {}, DWORD readyTimeoutMs = 15000);
    ~GhostHostProcess();
    GhostHostProcess(const GhostHostProcess&) = delete;
    GhostHostProcess& operator=(const GhostHostProcess&) = delete;

    // True once the block is published and the control window exists. When
    // false, `error()` says why (in test messages).
    bool ready() const { return m_controlWindow != nullptr; }
    const std::string& error() const { return m_error; }

    HWND ControlWindow() const { return m_controlWindow; }
    DWORD ProcessId() const { return m_process.ProcessId(); }
    const std::wstring& LogPath() const { return m_logPath; }
    // Still running (it has not quit or crashed).
    bool Running() const { return m_process.Running(); }

    // Every complete request record logged so far, in order of arrival.
    std::vector<LoggedRequest> Requests() const;
    // Waits (polling, bounded by `timeoutMs`) until at least `count` requests
    // are logged; returns whether they are.
    bool WaitForRequests(size_t count, DWORD timeoutMs) const;

    // Sends one control command ("add NAME[:ANSWER]", "remove NAME", "clear",
    // "quit") to this host's control window; true when the host accepted it.
    // The host has republished the block, and posted its "sakura" broadcast
    // to every top-level window, by the time it returns.
    bool Command(std::string_view text) const;

    // Waits (bounded) for the host to end; true when it did.
    bool WaitForExit(DWORD timeoutMs) const { return m_process.WaitForExit(timeoutMs); }
    DWORD ExitCode() const { return m_process.ExitCode(); }

private:
    bool Start(const std::vector<std::string>& arguments, DWORD readyTimeoutMs);

    TempFolder m_folder{L"quillbin_ghost_host"};
    std::wstring m_logPath = m_folder.File(L"requests.log");
    ChildProcess m_process;
    HWND m_controlWindow = nullptr;
    std::string m_error;
};

// Copies the first `bytes` bytes of the block "Sakura" (fewer when its view
// is smaller) into `out`; false when no block exists. Opened, mapped, copied
// and released at once, the way a reader of the directory does it.
bool ReadSakuraBlock(std::string& out, size_t bytes = 64 * 1024);

// Ends every ghost_host.exe and quillbin.exe running in this Wine prefix
// (none runs when a test begins) and names them, with their process ids and
// whether they could be ended; empty when none ran.
std::string EndLeftoverProcesses();

// Sends a control command to `window`; true when the host accepted it.
bool SendGhostHostCommand(HWND window, std::string_view text, UINT timeoutMs = 10000);

}  // namespace quillbin::win
