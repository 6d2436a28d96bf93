#include "tools/echo_driver/driver_bindings.h"

#include <string>

#include "framework/win/wide_text.h"
#include "tools/echo_driver/driver_text.h"

namespace quillbin::win {

namespace {

std::string Utf8FromCp932(std::string_view text) { return Utf8FromWide(WideFromCp932(text)); }

}  // namespace

void DriverEchoBindings::Print(std::string_view tag, std::string_view text) {
    std::string line(tag);
    line += ' ';
    line += EscapeControlBytes(Utf8FromCp932(text));
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), m_out);
    std::fflush(m_out);
}

void DriverEchoBindings::ClearResultList() {
    std::fputs("CLEAR\n", m_out);
    std::fflush(m_out);
}

void DriverEchoBindings::AddResultLine(std::string_view line) {
    Print("LINE", m_maskTimes ? MaskListLineTime(line) : std::string(line));
}

void DriverEchoBindings::SetStatusText(std::string_view text) { Print("STATUS", text); }
void DriverEchoBindings::WriteStdout(std::string_view text) { Print("STDOUT", text); }
void DriverEchoBindings::WriteStderr(std::string_view text) { Print("STDERR", text); }

void DriverEchoBindings::NotifyGhosts(std::string_view body) {
    for (std::string_view line : SplitBodyLines(body)) {
        Print("EVENT", m_maskTimes ? MaskReferenceLineTime(line) : std::string(line));
    }
}

}  // namespace quillbin::win
