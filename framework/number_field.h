// What the user typed into a number field of a dialog, read the way the
// data exchange reads it, and the range check that follows. Kept apart from
// the controls so that the rules can be tested without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillbin {

// Only this many characters of a field are looked at; the rest is ignored.
inline constexpr size_t kNumberFieldChars = 31;

// The field's text as UTF-16 units. nullopt when it does not read as an
// unsigned number: empty, a minus sign, a letter where the number should
// start, or anything but blanks and tabs after it. A number beyond 32 bits
// reads as 4294967295 (the range check then rejects it, not the reading).
std::optional<uint32_t> ReadNumberField(std::u16string_view text);

// Unsigned comparison, both bounds included.
constexpr bool IsInRange(uint32_t value, uint32_t minimum, uint32_t maximum) {
    return value >= minimum && value <= maximum;
}

}  // namespace quillbin
