#include "echo/win/win32_echo_bindings.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdio>

#include "echo/win/icmp_library.h"
#include "echo/win/winsock_resolver.h"

namespace quillbin::win {

namespace {

void WriteStream(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

void Win32EchoBindings::WriteStdout(std::string_view text) { WriteStream(stdout, text); }
void Win32EchoBindings::WriteStderr(std::string_view text) { WriteStream(stderr, text); }

IcmpBinding Win32EchoBindings::BindIcmp() { return BindIcmpLibrary(); }

uint32_t Win32EchoBindings::ParseDottedAddress(const std::string& host) { return win::ParseDottedAddress(host); }
std::optional<HostEntry> Win32EchoBindings::LookupName(const std::string& host) { return LookupHostName(host); }
std::optional<HostEntry> Win32EchoBindings::LookupAddress(uint32_t address) { return LookupHostAddress(address); }
std::string Win32EchoBindings::DottedText(uint32_t address) { return win::DottedText(address); }

uint32_t Win32EchoBindings::TickCount() { return ::GetTickCount(); }
void Win32EchoBindings::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace quillbin::win
