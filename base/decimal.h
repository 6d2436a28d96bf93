// Reading decimal numbers the way the C library's strtoul does with base 10
// where unsigned long has 32 bits (as on Windows), without needing a
// NUL-terminated text: the host directory and the dialog's number fields
// both read numbers out of byte ranges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillbin {

struct DecimalReading {
    uint32_t value = 0;
    // Bytes read, white space and sign included; 0 when there was no digit
    // (strtoul then leaves its end pointer at the start).
    size_t consumed = 0;
};

// Leading white space skipped, an optional sign (a minus negates modulo 2^32),
// digits up to the first non-digit; 4294967295 when the number is larger.
DecimalReading ReadUnsignedDecimal(std::string_view text);

}  // namespace quillbin
