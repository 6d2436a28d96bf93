// What a test leaves running when it ends half-way stands in every later
// test's way: the same prefix, the same block "Sakura".
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include "base/scope_exit.h"
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

// Started with the kernel's address randomisation, a Wine process now and
// then dies before it runs (see qb_wine in scripts/lib.sh). Each test program
// runs without it, and so does every process it starts.
TEST(WineStart, TestProgramsRunWithoutAddressRandomisation) {
    constexpr unsigned long kAddrNoRandomize = 0x0040000;
    std::optional<std::string> personality = ReadWholeFile(L"Z:\\proc\\self\\personality");
    ASSERT_TRUE(personality) << "cannot read this process's personality";
    EXPECT_NE(std::stoul(*personality, nullptr, 16) & kAddrNoRandomize, 0u) << *personality;
}

}  // namespace
}  // namespace quillbin::win
