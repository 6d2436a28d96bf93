#include "tools/ghost_host/ghost_setup.h"

#include <charconv>

namespace quillbin {

namespace {

std::optional<GhostSetup> ParseAnswer(std::string_view text, GhostSetup ghost) {
    constexpr std::string_view kDelay = "delay=";
    constexpr std::string_view kBroadcast = "broadcast=";
    if (text == "ok") {
        ghost.answer = GhostAnswer::Ok;
    } else if (text == "zero") {
        ghost.answer = GhostAnswer::Zero;
    } else if (text == "gone") {
        ghost.answer = GhostAnswer::Gone;
    } else if (text == "reentrant") {
        ghost.answer = GhostAnswer::Reentrant;
    } else if (text.starts_with(kDelay) || text.starts_with(kBroadcast)) {
        const bool delay = text.starts_with(kDelay);
        auto ms = ParseMilliseconds(text.substr(delay ? kDelay.size() : kBroadcast.size()));
        if (!ms) return std::nullopt;
        ghost.answer = delay ? GhostAnswer::Delay : GhostAnswer::Broadcast;
        ghost.delayMs = *ms;
    } else {
        return std::nullopt;
    }
    return ghost;
}

}  // namespace

std::optional<uint32_t> ParseMilliseconds(std::string_view digits) {
    uint32_t ms = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || ms > kMaxGhostDelayMs) {
        return std::nullopt;
    }
    return ms;
}

std::optional<GhostSetup> ParseGhostSetup(std::string_view text) {
    GhostSetup ghost;
    size_t colon = text.rfind(':');
    ghost.name = std::string(text.substr(0, colon));
    if (ghost.name.empty()) return std::nullopt;
    if (colon == std::string_view::npos) return ghost;
    return ParseAnswer(text.substr(colon + 1), std::move(ghost));
}

std::string DescribeGhostAnswer(const GhostSetup& ghost) {
    switch (ghost.answer) {
    case GhostAnswer::Ok:
        return "ok";
    case GhostAnswer::Zero:
        return "zero";
    case GhostAnswer::Delay:
        return "delay=" + std::to_string(ghost.delayMs);
    case GhostAnswer::Gone:
        return "gone";
    case GhostAnswer::Reentrant:
        return "reentrant";
    case GhostAnswer::Broadcast:
        return "broadcast=" + std::to_string(ghost.delayMs);
    }
    return "?";
}

}  // namespace quillbin
