#include "tests/support/child_process.h"

#include "base/growing_buffer.h"
#include "framework/win/wide_text.h"
#include "tests/support/command_line.h"

namespace quillbin::win {

namespace {

constexpr DWORD kEndTimeoutMs = 10000;

struct WindowSearch {
    DWORD processId;
    const std::function<bool(HWND)>& match;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !search->match(window)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

std::wstring ProgramDirectory() {
    auto fill = [](wchar_t* buffer, size_t capacity) {
        return static_cast<size_t>(::GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(capacity)));
    };
    std::wstring path = FetchWithGrowingBuffer<wchar_t>(fill, MAX_PATH, 32768).value_or(L"");
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

ChildProcess::~ChildProcess() {
    if (Running()) Terminate();
}

bool ChildProcess::Start(const std::wstring& program, const std::vector<std::wstring>& arguments,
                         const std::wstring& workingFolder, Output output) {
    // The program's name follows simpler rules: quotes only, no escapes.
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + JoinCommandLine(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle pipeWriteEnd;
    UniqueFile nowhere;
    if (output == Output::Captured) {
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
            m_error = "cannot create a pipe, error " + std::to_string(::GetLastError());
            return false;
        }
        m_output.reset(readEnd);
        pipeWriteEnd.reset(writeEnd);
        ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = writeEnd;
    } else if (output == Output::Discarded) {
        nowhere.reset(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inheritable, OPEN_EXISTING, 0, nullptr));
        if (nowhere) {
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere.get();
        }
    }
    // Wine starts a child as a Unix process of its own, which outlives a
    // test program killed by CTest's time-out: the child would go on in the
    // prefix and stand in every later test's way (a second block "Sakura",
    // a second program). In a job that ends with its last handle, it goes
    // with the test program however that ends.
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        m_error = "cannot create a job for " + Utf8FromWide(program) + ", error " + std::to_string(::GetLastError());
        return false;
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, startup.dwFlags != 0,
                          CREATE_SUSPENDED, nullptr, workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                          &info)) {
        m_error = "cannot start " + Utf8FromWide(program) + ", error " + std::to_string(::GetLastError());
        return false;
    }
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    m_processId = info.dwProcessId;
    if (!::AssignProcessToJobObject(job.get(), info.hProcess)) {
        m_error = "cannot put " + Utf8FromWide(program) + " in a job, error " + std::to_string(::GetLastError());
        Terminate();
        return false;
    }
    m_job = std::move(job);
    ::ResumeThread(thread.get());
    return true;
}

bool ChildProcess::Running() const { return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitForExit(DWORD timeoutMs) const {
    return !m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

void ChildProcess::Terminate() {
    if (!m_process) return;
    ::TerminateProcess(m_process.get(), 1);
    ::WaitForSingleObject(m_process.get(), kEndTimeoutMs);
}

std::string ChildProcess::ReadOutput() {
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (m_output && ::ReadFile(m_output.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        out.append(buffer, got);
    }
    return out;
}

HWND ChildProcess::TopLevelWindow(const std::function<bool(HWND)>& match) const {
    WindowSearch search{m_processId, match};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<ChildRun> RunToEnd(const std::wstring& program, const std::vector<std::wstring>& arguments,
                                 DWORD timeoutMs, ChildProcess::Output output) {
    ChildProcess child;
    if (!child.Start(program, arguments, {}, output)) return std::nullopt;
    ChildRun run;
    run.output = child.ReadOutput();
    if (!child.WaitForExit(timeoutMs)) return std::nullopt;
    run.exitCode = child.ExitCode();
    return run;
}

}  // namespace quillbin::win
