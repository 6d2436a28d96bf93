#include "tools/ghost_host/request_view.h"

namespace quillbin {

std::vector<std::string> RequestDisplayLines(std::string_view shown, size_t totalSize) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // a line has begun that no line end has closed yet
    for (size_t i = 0; i < shown.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(shown[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            continue;
        }
        open = true;
        if (c < 0x20 || c == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            line += '<';
            line += kHex[c >> 4];
            line += kHex[c & 0xF];
            line += '>';
        } else {
            line += static_cast<char>(c);
        }
    }
    if (open) lines.push_back(std::move(line));
    if (totalSize > shown.size()) {
        lines.push_back("(" + std::to_string(totalSize - shown.size()) + " more bytes not shown)");
    }
    return lines;
}

}  // namespace quillbin
