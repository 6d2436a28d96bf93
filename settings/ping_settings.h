// The five user settings: held by the main dialog, filled from the settings
// file and by the dialog's validation, read by the echo run.
#pragma once

#include <cstdint>
#include <string>

namespace quillbin {

struct PingSettings {
    std::string host;          // code page 932 bytes
    uint32_t count = 0;        // 1 to 999 once validated
    uint32_t dataSize = 0;     // 0 to 1500 once validated
    int32_t dontFragment = 0;  // 0 or 1
    uint32_t ttl = 0;          // 1 to 255 once validated
};

}  // namespace quillbin
