// What a test leaves running when it ends half-way stands in every later
// test's way: the same prefix, the same block "Sakura".
#include "tests/support/child_process.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/scope_exit.h"
#include "framework/win/wide_text.h"
#include "tests/support/files.h"
#include "tests/support/ghost_host_fixture.h"
#include "tests/support/waiting.h"

namespace quillbin::win {
namespace {

constexpr DWORD kEndMs = 10000;

bool Ends(DWORD processId) {
    UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    return !process || ::WaitForSingleObject(process.get(), kEndMs) == WAIT_OBJECT_0;
}

TEST(LeftBehind, AChildEndsWithItsOwnerEvenWhenTheOwnerIsKilled) {
    TempFolder folder(L"quillbin_child_owner");
    ASSERT_TRUE(folder.ok());
    std::wstring pidFile = folder.File(L"child.pid");
    ChildProcess owner;
    ASSERT_TRUE(owner.Start(ProgramDirectory() + L"child_owner.exe", {ProgramDirectory() + L"ghost_host.exe", pidFile}))
        << owner.error();
    DWORD child = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::string text = ReadWholeFile(pidFile).value_or("");
            child = text.empty() ? 0 : static_cast<DWORD>(std::stoul(text));
            return child != 0 || !owner.Running();
        },
        15000));
    ASSERT_NE(child, 0u) << "child_owner.exe ended with " << owner.ExitCode();

    owner.Terminate();
    EXPECT_TRUE(Ends(child)) << "the child outlived its killed owner";
}

TEST(LeftBehind, AHostLeftRunningIsNamedEndedAndNoLongerInTheWay) {
    // Started bare, in no job: as a host of an earlier test that was killed.
    std::wstring program = ProgramDirectory() + L"ghost_host.exe";
    std::wstring commandLine = L"\"" + program + L"\" --hidden";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &info));
    UniqueHandle leftover(info.hProcess), thread(info.hThread);
    ScopeExit end([&] { ::TerminateProcess(leftover.get(), 1); });
    std::string block;
    ASSERT_TRUE(WaitUntil([&] { return ReadSakuraBlock(block); }, 15000));

    GhostHostProcess refused;
    EXPECT_FALSE(refused.ready());
    EXPECT_NE(refused.error().find("ghost_host.exe (process " + std::to_string(info.dwProcessId) + ", ended now)"),
              std::string::npos)
        << refused.error();
    EXPECT_EQ(::WaitForSingleObject(leftover.get(), 0), WAIT_OBJECT_0);

    GhostHostProcess next;
    EXPECT_TRUE(next.ready()) << next.error();
}

// The personality of every process running this program with this one's
// arguments: this process, and any twin. Wine opens files in its server, so
// Z:\proc\self would be the server; the processes are found by their
// command lines instead.
std::vector<std::string> PersonalitiesOfThisProgram() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    ScopeExit freeArgv([&] { ::LocalFree(argv); });
    auto fileName = [](const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); };
    // As /proc shows them: each argument ends in a NUL.
    std::string name = fileName(Utf8FromWide(argv[0])), arguments;
    for (int i = 1; i < count; ++i) arguments += Utf8FromWide(argv[i]) + '\0';

    std::vector<std::string> found;
    WIN32_FIND_DATAW entry{};
    HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return found;
    ScopeExit close([&] { ::FindClose(search); });
    do {
        std::wstring pid = entry.cFileName;
        if (pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        std::string cmdline = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\cmdline").value_or("");
        // Wine rewrites the Unix arguments in place and pads the rest with NULs.
        cmdline.erase(cmdline.find_last_not_of('\0') + 1);
        cmdline += '\0';
        size_t programEnd = cmdline.find('\0');
        if (::lstrcmpiA(fileName(cmdline.substr(0, programEnd)).c_str(), name.c_str()) == 0 &&
            cmdline.substr(programEnd + 1) == arguments) {
            found.push_back(ReadWholeFile(L"Z:\\proc\\" + pid + L"\\personality").value_or(""));
        }
    } while (::FindNextFileW(search, &entry));
    return found;
}

// Started with the kernel's address randomisation, a Wine process now and
// then dies before it runs (cmake/wine-run.sh.in says why). Each test program
// runs without it, and so does every process it starts.
TEST(WineStart, TestProgramsRunWithoutAddressRandomisation) {
    constexpr unsigned long kAddrNoRandomize = 0x0040000;
    std::vector<std::string> personalities = PersonalitiesOfThisProgram();
    ASSERT_FALSE(personalities.empty()) << "this process is not found in /proc";
    for (const std::string& personality : personalities) {
        EXPECT_NE(std::strtoul(personality.c_str(), nullptr, 16) & kAddrNoRandomize, 0u) << personality;
    }
}

}  // namespace
}  // namespace quillbin::win
