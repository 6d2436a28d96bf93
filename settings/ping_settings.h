// The five user settings: held by the main dialog, filled from the settings
// file and by the dialog's validation, read by the echo run.
#pragma once

#include <cstdint>
#include <string>

namespace quillbin {

// What the number fields accept. The dialog's validation and spin buttons
// take their limits from here, and the echo run its cap on the data size.
struct FieldRange {
    uint32_t minimum;
    uint32_t maximum;
};
inline constexpr FieldRange kCountRange{1, 999};
inline constexpr FieldRange kDataSizeRange{0, 1500};
inline constexpr FieldRange kTtlRange{1, 255};

struct PingSettings {
    std::string host;          // code page 932 bytes
    uint32_t count = 0;        // within kCountRange once validated
    uint32_t dataSize = 0;     // within kDataSizeRange once validated
    int32_t dontFragment = 0;  // 0 or 1
    uint32_t ttl = 0;          // within kTtlRange once validated
};

}  // namespace quillbin
