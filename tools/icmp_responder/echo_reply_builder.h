// Builds the echo reply that the lab's misbehaving host sends back: a whole
// IPv4 packet (the raw socket is given the header too, so the reply leaves
// from the exact address the request went to), with the payload changed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillbin {

enum class ReplyMangle {
    None,      // an honest reply
    FlipByte,  // the last payload byte changed
    Shorten,   // the last payload byte dropped
};

// The 16-bit one's complement sum of RFC 1071, in network byte order when
// stored big-endian.
uint16_t InternetChecksum(std::span<const uint8_t> bytes);

// The reply to an IPv4 ICMP echo request (type 8, code 0), or nullopt for
// any other packet or a malformed one. The reply carries TTL 64, no IP
// options, and the request's identifier and sequence number.
std::optional<std::vector<uint8_t>> BuildEchoReply(std::span<const uint8_t> request, ReplyMangle mangle);

}  // namespace quillbin
