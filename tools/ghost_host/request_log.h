// The demo ghost host's record of every request its ghosts receive. Each
// record is a text header line followed by the request's raw bytes, so the
// bytes survive whatever they hold (CR, LF, NUL, a line that looks like a
// header): a reader never searches the bytes, it counts them.
//
//   @request ghost=<NAME> index=<i> hwnd=<n> dwData=<n> cbData=<n> sender=<n> tick=<n>\n
//   <exactly cbData bytes>\n
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillbin {

struct LoggedRequest {
    std::string ghost;   // the ghost's name in UTF-8
    uint32_t index = 0;  // the ghost's position in the published directory
    uint64_t hwnd = 0;   // the ghost window that received it
    uint64_t dwData = 0;
    uint32_t cbData = 0;  // always bytes.size() in a parsed record
    uint64_t sender = 0;  // wParam
    uint32_t tick = 0;    // GetTickCount at arrival
    std::string bytes;

    bool operator==(const LoggedRequest&) const = default;
};

// One record; `cbData` is written as bytes.size(). Line breaks in the name
// become '?', since the header must stay one line.
std::string FormatRequestLogRecord(const LoggedRequest& request);

struct RequestLogReading {
    std::vector<LoggedRequest> requests;
    // Bytes taken by the complete records; a record still being written (the
    // host appends while readers read) is left for the next reading.
    size_t consumed = 0;
    // Something other than a record stood at `consumed`.
    bool malformed = false;
};

RequestLogReading ParseRequestLog(std::string_view log);

}  // namespace quillbin
