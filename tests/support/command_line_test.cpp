// The quoting must survive the real splitter: CommandLineToArgvW is the
// judge, not a second reading of the same rules.
#include "tests/support/command_line.h"

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

namespace quillbin {
namespace {

std::vector<std::wstring> Split(const std::wstring& commandLine) {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> out;
    for (int i = 1; argv && i < count; ++i) out.emplace_back(argv[i]);
    ::LocalFree(argv);
    return out;
}

TEST(CommandLine, SplitsBackIntoTheSameArguments) {
    const std::vector<std::wstring> arguments = {
        L"plain",
        L"",
        L"two words",
        L"tab\there",
        L"say \"hi\"",
        L"\"",
        L"C:\\path\\file.log",
        L"C:\\Temp Folder\\",
        L"ends with two\\\\",
        L"back\\\\\"quote",
        L"\\\\server\\share",
        L"add \u30B4\u30FC\u30B9\u30C8:delay=10",
    };
    EXPECT_EQ(Split(L"prog.exe " + JoinCommandLine(arguments)), arguments);
    for (const std::wstring& a : arguments) {
        EXPECT_EQ(Split(L"prog.exe " + QuoteCommandLineArgument(a)), std::vector<std::wstring>{a}) << a;
    }
}

TEST(CommandLine, LeavesSimpleArgumentsAlone) {
    EXPECT_EQ(QuoteCommandLineArgument(L"--ghost"), L"--ghost");
    EXPECT_EQ(QuoteCommandLineArgument(L"C:\\a\\b"), L"C:\\a\\b");
    EXPECT_EQ(QuoteCommandLineArgument(L""), L"\"\"");
}

}  // namespace
}  // namespace quillbin
