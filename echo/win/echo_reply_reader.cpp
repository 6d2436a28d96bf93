#include "echo/win/echo_reply_reader.h"

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <cstring>

namespace quillbin::win {

EchoReply ReadEchoReply(std::span<const unsigned char> area, uint32_t replies, uint32_t lastError) {
    EchoReply reply;
    if (replies == 0) {
        reply.lastError = lastError;
        return reply;
    }
    ICMP_ECHO_REPLY record;
    if (area.size() < sizeof record) {
        // No record fits: nothing was written that could be read.
        reply.lastError = IP_BUF_TOO_SMALL;
        return reply;
    }
    std::memcpy(&record, area.data(), sizeof record);
    reply.written = true;
    reply.address = record.Address;
    reply.status = record.Status;
    reply.roundTripTime = record.RoundTripTime;
    reply.ttl = record.Options.Ttl;
    reply.dataSize = record.DataSize;

    if (record.DataSize == 0) {
        // Nothing to read, wherever Data points.
        reply.data = std::string_view();
        return reply;
    }
    // Compared as integers: pointers into different objects have no order.
    const auto begin = reinterpret_cast<uintptr_t>(area.data());
    const auto end = begin + area.size();
    const auto data = reinterpret_cast<uintptr_t>(record.Data);
    if (data >= begin && data <= end && record.DataSize <= end - data) {
        reply.data = std::string_view(reinterpret_cast<const char*>(area.data()) + (data - begin), record.DataSize);
    }
    return reply;
}

}  // namespace quillbin::win
