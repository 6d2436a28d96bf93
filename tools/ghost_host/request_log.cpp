#include "tools/ghost_host/request_log.h"

#include <charconv>
#include <limits>

namespace quillbin {

namespace {

constexpr std::string_view kTag = "@request ghost=";
constexpr std::string_view kIndexField = " index=";

// Reads "<key>=<decimal>" at the front of `text` and moves past it and one
// following blank.
template <typename T>
bool TakeField(std::string_view& text, std::string_view key, T& out) {
    if (text.substr(0, key.size()) != key || text.size() <= key.size() || text[key.size()] != '=') return false;
    text.remove_prefix(key.size() + 1);
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || value > std::numeric_limits<T>::max()) return false;
    out = static_cast<T>(value);
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    if (!text.empty()) {
        if (text.front() != ' ') return false;
        text.remove_prefix(1);
    }
    return true;
}

bool ParseHeader(std::string_view line, LoggedRequest& out) {
    if (line.substr(0, kTag.size()) != kTag) return false;
    line.remove_prefix(kTag.size());
    // The name may hold blanks and even " index=": the numeric fields that
    // follow never do, so the last occurrence is the real one.
    size_t at = line.rfind(kIndexField);
    if (at == std::string_view::npos) return false;
    out.ghost = std::string(line.substr(0, at));
    line.remove_prefix(at + 1);
    return TakeField(line, "index", out.index) && TakeField(line, "hwnd", out.hwnd) &&
           TakeField(line, "dwData", out.dwData) && TakeField(line, "cbData", out.cbData) &&
           TakeField(line, "sender", out.sender) && TakeField(line, "tick", out.tick) && line.empty();
}

}  // namespace

std::string FormatRequestLogRecord(const LoggedRequest& request) {
    std::string name = request.ghost;
    for (char& c : name) {
        if (c == '\n' || c == '\r') c = '?';
    }
    std::string out;
    out.reserve(128 + name.size() + request.bytes.size());
    out += kTag;
    out += name;
    out += " index=" + std::to_string(request.index);
    out += " hwnd=" + std::to_string(request.hwnd);
    out += " dwData=" + std::to_string(request.dwData);
    out += " cbData=" + std::to_string(request.bytes.size());
    out += " sender=" + std::to_string(request.sender);
    out += " tick=" + std::to_string(request.tick);
    out += '\n';
    out += request.bytes;
    out += '\n';
    return out;
}

RequestLogReading ParseRequestLog(std::string_view log) {
    RequestLogReading reading;
    while (reading.consumed < log.size()) {
        std::string_view rest = log.substr(reading.consumed);
        size_t lineEnd = rest.find('\n');
        if (lineEnd == std::string_view::npos) {
            // A header still being written, unless it can no longer become one.
            reading.malformed = rest.substr(0, kTag.size()) != kTag.substr(0, rest.size());
            break;
        }
        LoggedRequest request;
        if (!ParseHeader(rest.substr(0, lineEnd), request)) {
            reading.malformed = true;
            break;
        }
        size_t bytesAt = lineEnd + 1;
        if (rest.size() - bytesAt < size_t{request.cbData} + 1) break;  // not all written yet
        if (rest[bytesAt + request.cbData] != '\n') {
            reading.malformed = true;
            break;
        }
        request.bytes = std::string(rest.substr(bytesAt, request.cbData));
        reading.consumed += bytesAt + request.cbData + 1;
        reading.requests.push_back(std::move(request));
    }
    return reading;
}

}  // namespace quillbin
