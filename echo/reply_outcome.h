// What one echo came to: the four outcomes of a reply, decided from the reply
// record and the text the request carried.
#pragma once

#include <cstdint>
#include <string_view>

#include "echo/echo_roles.h"

namespace quillbin {

enum class EchoOutcome {
    Ok,             // status 0 and the payload came back unchanged
    DataMismatch,   // status 0, but the echoed data differs or is missing
    TtlExpired,     // the TTL ran out on the way; the record names that node
    StatusFailure,  // any other status; the record says nothing else useful
};

struct ClassifiedReply {
    EchoOutcome outcome = EchoOutcome::StatusFailure;
    uint32_t status = 0;  // the status whose text the lines show
};

// An unwritten reply area (the send call returned 0) is never read: its
// status comes from the call's error when that is an IP status, else it is a
// general failure, and it counts as a status failure.
ClassifiedReply ClassifyEchoReply(const EchoReply& reply, std::string_view payload);

inline bool IsOk(EchoOutcome outcome) { return outcome == EchoOutcome::Ok; }

}  // namespace quillbin
