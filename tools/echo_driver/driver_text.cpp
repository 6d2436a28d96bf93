#include "tools/echo_driver/driver_text.h"

#include <cstdio>

namespace quillbin {

namespace {

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::string EscapeControlBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += ch;
            }
        }
    }
    return out;
}

std::string MaskListLineTime(std::string_view line) {
    constexpr std::string_view kTime = "Time=";
    size_t start = line.find(kTime);
    if (start == std::string_view::npos) return std::string(line);
    size_t digits = start + kTime.size();
    size_t end = digits;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == digits || line.substr(end, 2) != "ms") return std::string(line);
    std::string out(line.substr(0, digits));
    out += '*';
    out += line.substr(end);
    return out;
}

std::string MaskReferenceLineTime(std::string_view line) {
    // The time is the third of four fields.
    size_t first = line.find('\x01');
    if (first == std::string_view::npos) return std::string(line);
    size_t second = line.find('\x01', first + 1);
    if (second == std::string_view::npos) return std::string(line);
    size_t third = line.find('\x01', second + 1);
    if (third == std::string_view::npos || line.find('\x01', third + 1) != std::string_view::npos) {
        return std::string(line);
    }
    std::string_view time = line.substr(second + 1, third - second - 1);
    if (!IsDigits(time)) return std::string(line);
    std::string out(line.substr(0, second + 1));
    out += '*';
    out += line.substr(third);
    return out;
}

std::vector<std::string_view> SplitBodyLines(std::string_view body) {
    std::vector<std::string_view> lines;
    while (!body.empty()) {
        size_t end = body.find("\r\n");
        size_t cut = end == std::string_view::npos ? body.size() : end + 2;
        lines.push_back(body.substr(0, cut));
        body.remove_prefix(cut);
    }
    return lines;
}

}  // namespace quillbin
