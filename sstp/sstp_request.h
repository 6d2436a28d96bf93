// The SSTP NOTIFY request that every ghost receives in a WM_COPYDATA message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillbin {

// COPYDATASTRUCT::dwData of an SSTP request.
inline constexpr uint32_t kSstpCopyDataId = 9801;

inline constexpr std::string_view kSstpNotifyHeader = "NOTIFY SSTP/1.0\r\n"
                                                      "Charset: Shift_JIS\r\n"
                                                      "SecurityLevel: local\r\n"
                                                      "Sender: ICMP Echo Quillbin\r\n";

inline constexpr std::string_view kStartupEventBody = "Event: OnApplicationBoot\r\n"
                                                      "Reference0: ICMP Echo Quillbin\r\n";

inline constexpr std::string_view kClosingEventBody = "Event: OnApplicationClose\r\n"
                                                      "Reference0: ICMP Echo Quillbin\r\n";

// The header, "HWnd: <senderWindow>", the body as given (ending in its own
// CR LF) and the closing CR LF. No terminating NUL: the length is the size of
// the data the ghost receives.
std::string BuildSstpNotifyRequest(uint32_t senderWindow, std::string_view body);

}  // namespace quillbin
