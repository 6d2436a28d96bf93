// What the program must show and send, written out here rather than taken
// from the code under test: the dialog's texts as UTF-16 (what the wide
// functions read back, whatever the ANSI code page) and the requests' fixed
// parts as their exact code page 932 bytes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace quillbin::win::e2e {

// string 61719
inline constexpr wchar_t kNotANumberMessage[] = L"正の整数を入力してください。";
// string 61714 with the range of the count, the data size and the TTL.
inline constexpr wchar_t kCountRangeMessage[] = L"1 から 999 までの整数を入力してください。";
inline constexpr wchar_t kSizeRangeMessage[] = L"0 から 1500 までの整数を入力してください。";
inline constexpr wchar_t kTtlRangeMessage[] = L"1 から 255 までの整数を入力してください。";
// string 101
inline constexpr wchar_t kAboutMenuText[] = L"バージョン情報(&A)...";

// The TTL of this system's own replies on loopback, asked of its ICMP
// library: 64 from the Linux stack under Wine, 128 from Windows'.
unsigned LoopbackReplyTtl();
// An OK line of a loopback run, its time masked, up to its data size.
std::wstring LoopbackOkLineStart();
// The whole OK line with the default data size.
std::wstring LoopbackOkLine();
// The line of an echo that waited out its time-out.
inline constexpr wchar_t kTimedOutLine[] = L"NG それはとっても遅すぎるなって(タイムアウト)";

// Bodies of the fixed events.
inline constexpr std::string_view kBootBody = "Event: OnApplicationBoot\r\nReference0: ICMP Echo Quillbin\r\n";
inline constexpr std::string_view kCloseBody = "Event: OnApplicationClose\r\nReference0: ICMP Echo Quillbin\r\n";
inline constexpr std::string_view kResultsEvent = "OnICMPEchoComplete";
inline constexpr std::string_view kBootEvent = "OnApplicationBoot";
inline constexpr std::string_view kCloseEvent = "OnApplicationClose";
inline constexpr uint64_t kSstpCopyDataId = 9801;

// The whole request that a ghost receives from `dialog` for `body`.
std::string SstpRequest(HWND dialog, std::string_view body);
// The results body of `count` OK echoes to 127.0.0.1 (LoopbackReplyTtl), times
// masked as MaskReferenceTimes masks them.
std::string LoopbackResultsBody(unsigned count);

// Round-trip times vary: "Time=12ms" becomes "Time=?ms" in a list line, and
// the time field of every "ReferenceN: OK\x01address\x01time\x01ttl" line of
// a request becomes "?".
std::wstring MaskListTime(std::wstring_view line);
std::string MaskReferenceTimes(std::string_view request);

// A settings file's lines, without their line ends (CR LF or LF).
std::vector<std::string> FileLines(std::string_view bytes);
// The lines a settings file holds for these values, in the order written.
std::vector<std::string> SettingsFileLines(const char* count, const char* size, const char* ttl,
                                           const char* dontFragment, const char* host);

}  // namespace quillbin::win::e2e
