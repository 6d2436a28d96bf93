// Turns the reply area that IcmpSendEcho filled into an EchoReply. Kept apart
// from the call so that tests can hand it crafted reply areas: the record's
// Data pointer comes from the library, and nothing is read through it unless
// Data and DataSize lie inside the area.
#pragma once

#include <cstdint>
#include <span>

#include "echo/echo_roles.h"

namespace quillbin::win {

// `replies` is what IcmpSendEcho returned and `lastError` GetLastError()
// right after it; with 0 replies the area is not trusted at all.
EchoReply ReadEchoReply(std::span<const unsigned char> area, uint32_t replies, uint32_t lastError);

}  // namespace quillbin::win
