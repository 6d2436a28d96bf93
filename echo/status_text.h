// Display texts of the IP status codes that the ICMP service library writes
// into a reply's Status field.
#pragma once

#include <cstdint>

namespace quillbin {

inline constexpr uint32_t kIpSuccess = 0;
inline constexpr uint32_t kIpBufTooSmall = 11001;  // the lowest IP status
inline constexpr uint32_t kIpReqTimedOut = 11010;
inline constexpr uint32_t kIpTtlExpiredTransit = 11013;
inline constexpr uint32_t kIpTtlExpiredReassem = 11014;
inline constexpr uint32_t kIpGeneralFailure = 11050;  // the highest IP status

// The code page 932 text of a status code: a static NUL-terminated string,
// never null; the empty text for a code without one (0 included).
const char* IcmpStatusText(uint32_t status);

// True for the two codes that mean the time-to-live ran out on the way.
bool IsTtlExpiredStatus(uint32_t status);

}  // namespace quillbin
