// ghost_host.exe [--ghost NAME[:ANSWER]]... [--log FILE] [--hidden]
// ghost_host.exe --command TEXT
//
// Exit codes: 0 done; 1 the running host rejected the command; 2 bad
// arguments; 3 the host could not start; 4 no running host for --command.
// No message boxes: tests start this program and nobody is there to click.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "base/scope_exit.h"
#include "framework/win/wide_text.h"
#include "tools/ghost_host/host_command.h"
#include "tools/ghost_host/host_protocol.h"
#include "tools/ghost_host/win/ghost_host.h"

namespace {

using quillbin::ScopeExit;

std::vector<std::string> ArgumentsAfterProgramName() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    ScopeExit release([argv] { ::LocalFree(argv); });
    std::vector<std::string> out;
    for (int i = 1; argv && i < count; ++i) out.push_back(quillbin::win::Utf8FromWide(argv[i]));
    return out;
}

int SendCommand(const std::string& text) {
    HWND host = ::FindWindowW(quillbin::kGhostHostWindowClass, nullptr);
    if (!host) return 4;
    COPYDATASTRUCT data{};
    data.dwData = quillbin::kGhostHostCommandId;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    DWORD_PTR answer = 0;
    LRESULT sent =
        ::SendMessageTimeoutW(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &answer);
    return sent && answer ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    std::string error;
    auto options = quillbin::ParseHostOptions(ArgumentsAfterProgramName(), error);
    if (!options) {
        ::OutputDebugStringW(quillbin::win::WideFromUtf8("ghost_host: " + error + "\n").c_str());
        return 2;
    }
    if (options->command) return SendCommand(*options->command);
    quillbin::win::GhostHost host(std::move(*options));
    return host.Run(instance);
}
