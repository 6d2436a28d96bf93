#include "echo/reply_outcome.h"

#include "echo/status_text.h"

namespace quillbin {

ClassifiedReply ClassifyEchoReply(const EchoReply& reply, std::string_view payload) {
    if (!reply.written) {
        const bool ipStatus = reply.lastError >= kIpBufTooSmall && reply.lastError <= kIpGeneralFailure;
        return {EchoOutcome::StatusFailure, ipStatus ? reply.lastError : kIpGeneralFailure};
    }
    if (reply.status != kIpSuccess) {
        return {IsTtlExpiredStatus(reply.status) ? EchoOutcome::TtlExpired : EchoOutcome::StatusFailure, reply.status};
    }
    // Data that does not lie inside the reply area is never read; the echo
    // then cannot be shown to have come back intact.
    const bool intact = reply.dataSize == payload.size() && reply.data.has_value() &&
                        reply.data->size() == reply.dataSize && *reply.data == payload;
    return {intact ? EchoOutcome::Ok : EchoOutcome::DataMismatch, kIpSuccess};
}

}  // namespace quillbin
