#include "sstp/sstp_request.h"

namespace quillbin {

std::string BuildSstpNotifyRequest(uint32_t senderWindow, std::string_view body) {
    constexpr std::string_view kHandleLabel = "HWnd: ";
    constexpr std::string_view kLineEnd = "\r\n";
    std::string handle = std::to_string(senderWindow);

    std::string request;
    request.reserve(kSstpNotifyHeader.size() + kHandleLabel.size() + handle.size() + 2 * kLineEnd.size() + body.size());
    request.append(kSstpNotifyHeader);
    request.append(kHandleLabel).append(handle).append(kLineEnd);
    request.append(body);
    request.append(kLineEnd);
    return request;
}

}  // namespace quillbin
