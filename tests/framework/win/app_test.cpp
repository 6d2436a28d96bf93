// The application object and the entry point, seen from outside: a probe
// program is copied under other names and paths, run, and its report read.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "framework/win/wide_text.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"

namespace quillbin::win::testing {
namespace {

// Runs the program and collects its standard output; nothing when it cannot
// be started or does not end within 30 s.
std::optional<ChildRun> RunProgram(const std::wstring& program) {
    return RunToEnd(program, {L"ignored-argument"}, 30000, ChildProcess::Output::Captured);
}

class AppTest : public ::testing::Test {
protected:
    std::wstring CopyProbe(const std::wstring& name) {
        std::wstring target = m_folder.File(name);
        if (!::CopyFileW((ProgramDirectory() + L"quillbin_app_probe.exe").c_str(), target.c_str(), FALSE)) return L"";
        return target;
    }
    TempFolder m_folder{L"quillbin-app"};
};

TEST_F(AppTest, InitInstanceRunsOnceAndFalseEndsWithoutTheLoop) {
    std::wstring probe = CopyProbe(L"quillbin_app_probe.exe");
    ASSERT_FALSE(probe.empty());
    std::optional<ChildRun> run = RunProgram(probe);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->exitCode, 42u);
    EXPECT_NE(run->output.find("init 1\n"), std::string::npos) << run->output;
    EXPECT_EQ(run->output.find("init 2"), std::string::npos) << run->output;
    EXPECT_EQ(run->output.find("run"), std::string::npos) << run->output;
    EXPECT_NE(run->output.find("exit\n"), std::string::npos) << run->output;
    EXPECT_NE(run->output.find("instance ok\n"), std::string::npos) << run->output;
    // Set up for the shell's sake (the About box's links) on the window thread.
    EXPECT_NE(run->output.find("apartment single-threaded\n"), std::string::npos) << run->output;
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
        std::wstring probe = CopyProbe(c.file);
        ASSERT_FALSE(probe.empty());
        std::optional<ChildRun> run = RunProgram(probe);
        ASSERT_TRUE(run.has_value()) << c.name;
        std::string ini = Utf8FromWide(probe.substr(0, probe.size() - 3)) + "ini";
        EXPECT_NE(run->output.find(std::string("name ") + c.name + "\n"), std::string::npos) << run->output;
        EXPECT_NE(run->output.find(std::string("caption ") + c.name + "\n"), std::string::npos) << run->output;
        EXPECT_NE(run->output.find("ini " + ini + "\n"), std::string::npos) << run->output;
    }
}

}  // namespace
}  // namespace quillbin::win::testing
