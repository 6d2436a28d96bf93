#include "framework/message_format.h"

namespace quillbin {

std::string FormatMessageArgs(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            auto index = static_cast<size_t>(pattern[i + 1] - '1');
            if (index < args.size()) {
                out.append(args.begin()[index]);
                ++i;
                continue;
            }
        }
        out.push_back(pattern[i]);
    }
    return out;
}

}  // namespace quillbin
