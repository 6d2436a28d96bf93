// Runs one echo run with the real ICMP service library from the command line
// and prints what the dialog would show and send, one record per line:
//   CLEAR, STATUS <text>, LINE <text>, EVENT <body line>, STDOUT/STDERR <text>
// Texts are UTF-8 with control bytes escaped (CR LF as \r\n, 0x01 as \x01).
#include <winsock2.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/scope_exit.h"
#include "echo/echo_run.h"
#include "framework/win/wide_text.h"
#include "tools/echo_driver/driver_options.h"
#include "tools/echo_driver/driver_bindings.h"

namespace {

constexpr const char* kUsage =
    "usage: echo_driver --host=NAME [--count=N] [--size=N] [--ttl=N] [--df=0|1] [--raw-times]\n";

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace quillbin;
    // Records end in a bare LF whatever the console does.
    _setmode(_fileno(stdout), _O_BINARY);

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(win::Utf8FromWide(argv[i]));
    std::string error;
    auto options = ParseDriverOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "echo_driver: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    options->settings.host = win::Cp932FromWide(win::WideFromUtf8(options->settings.host));

    WSADATA wsa;
    if (int rc = ::WSAStartup(MAKEWORD(1, 1), &wsa); rc != 0) {
        std::fprintf(stderr, "echo_driver: WSAStartup failed (%d)\n", rc);
        return 1;
    }
    ScopeExit cleanup([] { ::WSACleanup(); });

    win::DriverEchoBindings platform(stdout, options->maskTimes);
    EchoRun(options->settings, platform.Roles());
    return 0;
}
