// The application object and the entry point, seen from outside: a probe
// program is copied under other names and paths, run, and its report read.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "framework/win/wide_text.h"

namespace quillbin::win::testing {
namespace {

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring ProbePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return Folder(self) + L"\\quillbin_app_probe.exe";
}

struct ProbeRun {
    DWORD exitCode = 0;
    std::string output;
};

// Runs the program and collects its standard output; nullopt when it cannot
// be started or does not end within 30 s.
std::optional<ProbeRun> RunProgram(const std::wstring& program) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::nullopt;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\" ignored-argument";
    BOOL started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                    &startup, &process);
    ::CloseHandle(writeEnd);
    if (!started) {
        ::CloseHandle(readEnd);
        return std::nullopt;
    }
    ProbeRun run;
    char buffer[512];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) run.output.append(buffer, got);
    ::CloseHandle(readEnd);
    bool ended = ::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) ::TerminateProcess(process.hProcess, 1);
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    if (!ended) return std::nullopt;
    return run;
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"quillbin-app-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(::GetTickCount());
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
    }
    void TearDown() override {
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
            if (!::DeleteFileW(it->c_str())) ::RemoveDirectoryW(it->c_str());
        }
        ::RemoveDirectoryW(m_folder.c_str());
    }
    std::wstring CopyProbe(const std::wstring& folder, const std::wstring& name) {
        std::wstring target = folder + L"\\" + name;
        if (!::CopyFileW(ProbePath().c_str(), target.c_str(), FALSE)) return L"";
        m_created.push_back(target);
        return target;
    }
    std::wstring m_folder;
    std::vector<std::wstring> m_created;
};

TEST_F(AppTest, InitInstanceRunsOnceAndFalseEndsWithoutTheLoop) {
    std::wstring probe = CopyProbe(m_folder, L"quillbin_app_probe.exe");
    ASSERT_FALSE(probe.empty());
    std::optional<ProbeRun> run = RunProgram(probe);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->exitCode, 42u);
    EXPECT_NE(run->output.find("init 1\n"), std::string::npos) << run->output;
    EXPECT_EQ(run->output.find("init 2"), std::string::npos) << run->output;
    EXPECT_EQ(run->output.find("run"), std::string::npos) << run->output;
    EXPECT_NE(run->output.find("exit\n"), std::string::npos) << run->output;
    EXPECT_NE(run->output.find("instance ok\n"), std::string::npos) << run->output;
}

TEST_F(AppTest, NamedAfterTheExecutableWhateverItIsCalled) {
    struct Case {
        const wchar_t* file;
        const char* name;
    } cases[] = {
        {L"pinger.exe", "pinger"},
        {L"renamed probe.v2.exe", "renamed probe.v2"},
    };
    for (const Case& c : cases) {
        std::wstring probe = CopyProbe(m_folder, c.file);
        ASSERT_FALSE(probe.empty());
        std::optional<ProbeRun> run = RunProgram(probe);
        ASSERT_TRUE(run.has_value()) << c.name;
        std::string ini = Cp932FromWide(probe.substr(0, probe.size() - 3)) + "ini";
        EXPECT_NE(run->output.find(std::string("name ") + c.name + "\n"), std::string::npos) << run->output;
        EXPECT_NE(run->output.find(std::string("caption ") + c.name + "\n"), std::string::npos) << run->output;
        EXPECT_NE(run->output.find("ini " + ini + "\n"), std::string::npos) << run->output;
    }
}

}  // namespace
}  // namespace quillbin::win::testing
