// child_owner.exe PROGRAM PID_FILE: starts PROGRAM as a ChildProcess, writes
// its process id to PID_FILE and waits to be killed. It stands for a test
// program that a time-out ends before its destructors run.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/support/files.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv || count != 3) return 2;
    quillbin::win::ChildProcess child;
    if (!child.Start(argv[1], {L"--hidden"})) return 3;
    if (!quillbin::win::WriteWholeFile(argv[2], std::to_string(child.ProcessId()))) return 4;
    ::Sleep(INFINITE);
    return 0;
}
