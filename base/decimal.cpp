#include "base/decimal.h"

namespace quillbin {

namespace {
bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

DecimalReading ReadUnsignedDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || !IsDigit(text[i])) return {};

    uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (!overflow) {
            value = value * 10 + static_cast<uint64_t>(text[i] - '0');
            overflow = value > UINT32_MAX;
        }
    }
    if (overflow) return {UINT32_MAX, i};
    auto result = static_cast<uint32_t>(value);
    return {negative ? 0u - result : result, i};
}

}  // namespace quillbin
