// The echo driver's bindings: real ICMP, resolver and clock, with every
// display target, diagnostic and the results event printed as records.
#pragma once

#include <cstdio>
#include <string_view>

#include "echo/win/win32_echo_bindings.h"

namespace quillbin::win {

class DriverEchoBindings final : public Win32EchoBindings, public EchoDisplay, public ResultsNotifier {
public:
    DriverEchoBindings(std::FILE* out, bool maskTimes) : m_out(out), m_maskTimes(maskTimes) {}

    // Nobody stops the driver's one run.
    EchoRoles Roles() {
        return EchoRoles{.display = *this,
                         .icmp = *this,
                         .resolver = *this,
                         .clock = *this,
                         .notifier = *this,
                         .diagnostics = *this};
    }

    void ClearResultList() override;
    void AddResultLine(std::string_view line) override;
    void SetStatusText(std::string_view text) override;
    void WriteStdout(std::string_view text) override;
    void WriteStderr(std::string_view text) override;
    void NotifyGhosts(std::string_view body) override;

private:
    // `text` is code page 932; it is printed as UTF-8 after "TAG ".
    void Print(std::string_view tag, std::string_view text);

    std::FILE* m_out;
    bool m_maskTimes;
};

}  // namespace quillbin::win
