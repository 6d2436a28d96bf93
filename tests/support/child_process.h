// Programs that the tests run as processes of their own: started with their
// arguments quoted as the C runtime splits them, and never left running once
// their owner goes.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

// The directory of the running program, with a trailing backslash: the
// programs the tests start are built beside them.
std::wstring ProgramDirectory();

class ChildProcess {
public:
    // Where the child's standard input, output and error go: left as they
    // are, to NUL, or (output and error) into a pipe that ReadOutput reads.
    enum class Output { None, Discarded, Captured };

    ChildProcess() = default;
    // Ends the child if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` (a full path) with `arguments` in `workingFolder`
    // (empty: ours). When false, `error()` says why.
    bool Start(const std::wstring& program, const std::vector<std::wstring>& arguments = {},
               const std::wstring& workingFolder = {}, Output output = Output::None);
    const std::string& error() const { return m_error; }

    HANDLE Process() const { return m_process.get(); }
    DWORD ProcessId() const { return m_processId; }
    bool Running() const;
    // Waits (bounded) for it to end; true when it has (or never started).
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    // Ends it at once (a test that failed half-way).
    void Terminate();
    // With Output::Captured: all it writes, until it closes its end.
    std::string ReadOutput();
    // Its first top-level window that `match` accepts, or nullptr.
    HWND TopLevelWindow(const std::function<bool(HWND)>& match) const;

private:
    UniqueHandle m_job;  // ends the child, and whatever it starts, when closed
    UniqueHandle m_process;
    DWORD m_processId = 0;
    UniqueHandle m_output;
    std::string m_error;
};

struct ChildRun {
    DWORD exitCode = 0;
    std::string output;  // with Output::Captured
};

// Runs `program` to its end; nothing when it cannot be started or does not
// end within `timeoutMs` (it is ended then).
std::optional<ChildRun> RunToEnd(const std::wstring& program, const std::vector<std::wstring>& arguments,
                                 DWORD timeoutMs, ChildProcess::Output output = ChildProcess::Output::None);

}  // namespace quillbin::win
