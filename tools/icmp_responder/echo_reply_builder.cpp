#include "tools/icmp_responder/echo_reply_builder.h"

#include <algorithm>

namespace quillbin {

namespace {

constexpr uint8_t kProtocolIcmp = 1;
constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kEchoReply = 0;
constexpr size_t kIpHeaderSize = 20;
constexpr size_t kIcmpHeaderSize = 8;

uint16_t Read16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] << 8 | b[at + 1]); }

void Write16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

}  // namespace

uint16_t InternetChecksum(std::span<const uint8_t> bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) sum += static_cast<uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (bytes.size() % 2 != 0) sum += static_cast<uint32_t>(bytes.back() << 8);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

std::optional<std::vector<uint8_t>> BuildEchoReply(std::span<const uint8_t> request, ReplyMangle mangle) {
    if (request.size() < kIpHeaderSize || request[0] >> 4 != 4) return std::nullopt;
    const size_t headerSize = static_cast<size_t>(request[0] & 0x0F) * 4;
    const size_t totalSize = Read16(request, 2);
    if (headerSize < kIpHeaderSize || totalSize > request.size() || totalSize < headerSize + kIcmpHeaderSize ||
        request[9] != kProtocolIcmp) {
        return std::nullopt;
    }
    // A fragment cannot be answered on its own.
    if ((Read16(request, 6) & 0x3FFF) != 0) return std::nullopt;
    std::span<const uint8_t> icmp = request.subspan(headerSize, totalSize - headerSize);
    if (icmp[0] != kEchoRequest || icmp[1] != 0) return std::nullopt;

    std::vector<uint8_t> payload(icmp.begin() + kIcmpHeaderSize, icmp.end());
    if (!payload.empty() && mangle == ReplyMangle::FlipByte) payload.back() ^= 0x01;
    if (!payload.empty() && mangle == ReplyMangle::Shorten) payload.pop_back();

    std::vector<uint8_t> reply(kIpHeaderSize + kIcmpHeaderSize + payload.size());
    reply[0] = 0x45;
    Write16(reply, 2, static_cast<uint16_t>(reply.size()));
    reply[8] = 64;
    reply[9] = kProtocolIcmp;
    std::copy_n(request.begin() + 16, 4, reply.begin() + 12);  // from the address asked
    std::copy_n(request.begin() + 12, 4, reply.begin() + 16);  // to the asker
    Write16(reply, 10, InternetChecksum(std::span(reply).first(kIpHeaderSize)));

    reply[kIpHeaderSize] = kEchoReply;
    std::copy_n(icmp.begin() + 4, 4, reply.begin() + kIpHeaderSize + 4);  // identifier, sequence
    std::copy(payload.begin(), payload.end(), reply.begin() + kIpHeaderSize + kIcmpHeaderSize);
    Write16(reply, kIpHeaderSize + 2, InternetChecksum(std::span(reply).subspan(kIpHeaderSize)));
    return reply;
}

}  // namespace quillbin
