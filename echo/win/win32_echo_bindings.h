// The Win32 bindings of an echo run's roles that do not depend on where its
// lines go: the ICMP service library, the socket library's resolver, the clock and
// the diagnostic streams. A dialog or a driver adds the display and the
// notifier.
#pragma once

#include "echo/echo_roles.h"

namespace quillbin::win {

class Win32EchoBindings : public EchoDiagnostics, public IcmpBinder, public HostResolver, public EchoClock {
public:
    void WriteStdout(std::string_view text) override;
    void WriteStderr(std::string_view text) override;

    IcmpBinding BindIcmp() override;

    uint32_t ParseDottedAddress(const std::string& host) override;
    std::optional<HostEntry> LookupName(const std::string& host) override;
    std::optional<HostEntry> LookupAddress(uint32_t address) override;
    std::string DottedText(uint32_t address) override;

    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
};

}  // namespace quillbin::win
