#include "framework/number_field.h"

#include <string>

#include "base/decimal.h"

namespace quillbin {

namespace {
bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::optional<uint32_t> ReadNumberField(std::u16string_view text) {
    // The field's text ends at its first NUL, as a C string would.
    text = text.substr(0, text.find(u'\0'));
    text = text.substr(0, kNumberFieldChars);

    // Only ASCII takes part in the reading; any other character stands in as
    // a byte that is neither a digit, a blank nor a sign.
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text) bytes.push_back(c < 0x80 ? static_cast<char>(c) : '\x80');

    size_t start = 0;
    while (start < bytes.size() && IsBlankOrTab(bytes[start])) ++start;
    if (start < bytes.size() && bytes[start] == '-') return std::nullopt;

    DecimalReading reading = ReadUnsignedDecimal(std::string_view(bytes).substr(start));
    // A zero that does not come from a written 0 means nothing was read.
    if (reading.value == 0 && (start == bytes.size() || bytes[start] != '0')) return std::nullopt;

    size_t rest = start + reading.consumed;
    while (rest < bytes.size() && IsBlankOrTab(bytes[rest])) ++rest;
    if (rest != bytes.size()) return std::nullopt;
    return reading.value;
}

}  // namespace quillbin
