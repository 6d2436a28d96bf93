// Every text an echo run shows or reports, in one place: its fixed lines and
// the formats of the result-list line, the Reference line of the results
// event and the status line. All are code page 932 bytes, as they go to the
// list box and on the wire; the shell only converts them for display.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "echo/echo_roles.h"
#include "echo/reply_outcome.h"

namespace quillbin {

inline constexpr std::string_view kWorkingText = "Working...";

// Shown when the ICMP service library cannot be used at all.
// こんなの絶対おかしいよ(IPHLPAPI)
inline constexpr std::string_view kIcmpUnavailableLine =
    "\x82\xB1\x82\xF1\x82\xC8\x82\xCC\x90\xE2\x91\xCE\x82\xA8\x82\xA9\x82\xB5\x82\xA2\x82\xE6(IPHLPAPI)";

// Shown when the host has no entry.
// 夢の中で会った、ような…(ホスト名前引き失敗)
inline constexpr std::string_view kHostLookupFailedLine =
    "\x96\xB2\x82\xCC\x92\x86\x82\xC5\x89\xEF\x82\xC1\x82\xBD\x81\x41\x82\xE6\x82\xA4\x82\xC8\x81\x63"
    "(\x83\x7A\x83\x58\x83\x67\x96\xBC\x91\x4F\x88\xF8\x82\xAB\x8E\xB8\x94\x73)";

// The error text of an echo whose data came back changed.
// 本当のデータと向き合えますか？
inline constexpr std::string_view kDataMismatchText =
    "\x96\x7B\x93\x96\x82\xCC\x83\x66\x81\x5B\x83\x5E\x82\xC6\x8C\xFC\x82\xAB\x8D\x87\x82\xA6\x82\xDC"
    "\x82\xB7\x82\xA9\x81\x48";

// The first line of the results event body.
inline constexpr std::string_view kResultsEventLine = "Event: OnICMPEchoComplete\r\n";

// Diagnostics for whoever runs the tool from a console.
inline constexpr std::string_view kProcAddressError = "\nError getting ICMP proc address\n";
inline constexpr std::string_view kEchoHandleError = "\nError opening an ICMP handle\n";

// The result-list line and the Reference line of echo number `index`.
// `address` is the dotted text of the reply's Address; it is read only for
// the outcomes that show it.
struct EchoLines {
    std::string listLine;
    std::string referenceLine;  // ends with CR LF
};
EchoLines FormatEchoLines(uint32_t index, const ClassifiedReply& classified, const EchoReply& reply,
                          std::string_view address);

// "NG=%u" when nothing succeeded (0 included), "OK=%u" when nothing failed,
// else "OK=%u NG=%u".
std::string FinalStatusText(uint32_t okCount, uint32_t ngCount);

// "\nPinging %s [%s]" with the host's name and the destination's dotted text.
std::string PingingDiagnostic(std::string_view name, std::string_view address);

}  // namespace quillbin
