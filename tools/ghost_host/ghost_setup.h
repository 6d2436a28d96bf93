// One demo ghost as the command line and the control commands name it:
// NAME[:ANSWER], where ANSWER says how the ghost answers the requests it
// receives. A name that holds a colon needs the answer written out
// ("a:b:ok"), since the text after the last colon is always the answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillbin {

enum class GhostAnswer {
    Ok,         // answers 1
    Zero,       // answers 0
    Delay,      // waits delayMs, then answers 1
    Gone,       // its window is destroyed once it is first published
    Reentrant,  // empties the directory and makes the sender refresh, then answers 1
    // Listed under 65535, which as a window handle means every top-level
    // window, in place of its own window, as a faulty host might list it;
    // its own window, which no directory then lists, answers like Delay.
    Broadcast,
};

struct GhostSetup {
    std::string name;  // UTF-8
    GhostAnswer answer = GhostAnswer::Ok;
    uint32_t delayMs = 0;

    bool operator==(const GhostSetup&) const = default;
};

// Longest delay accepted: a test that needs more is waiting for nothing.
inline constexpr uint32_t kMaxGhostDelayMs = 600000;

// A time in ms written in decimal digits alone, 0 to kMaxGhostDelayMs.
std::optional<uint32_t> ParseMilliseconds(std::string_view digits);

std::optional<GhostSetup> ParseGhostSetup(std::string_view text);
// "ok", "zero", "delay=250", "gone", "reentrant", "broadcast=250".
std::string DescribeGhostAnswer(const GhostSetup& ghost);

}  // namespace quillbin
