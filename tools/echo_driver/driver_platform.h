// The echo driver's platform: real ICMP, resolver and clock, with every
// display target, diagnostic and the results event printed as records.
#pragma once

#include <cstdio>
#include <string_view>

#include "echo/win/win32_echo_platform.h"

namespace quillbin::win {

class DriverPlatform final : public Win32EchoPlatform, public EchoDisplay, public ResultsNotifier {
public:
    DriverPlatform(std::FILE* out, bool maskTimes) : m_out(out), m_maskTimes(maskTimes) {}

    // Nobody stops the driver's one run.
    EchoPlatform Roles() {
        return EchoPlatform{.display = *this,
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
