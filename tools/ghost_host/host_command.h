// The ghost host's control commands (sent as UTF-8 text in a WM_COPYDATA) and
// its command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost_host/ghost_setup.h"

namespace quillbin {

struct HostCommand {
    enum class Kind { Add, Remove, Clear, Quit, Hold, Alternate };
    Kind kind = Kind::Clear;
    GhostSetup ghost;     // Add: the new ghost; Remove: its name
    uint32_t timeMs = 0;  // Hold, Alternate: how long; 0 ends the one under way

    bool operator==(const HostCommand&) const = default;
};

// "add NAME[:ANSWER]", "remove NAME", "clear", "quit", "hold MS",
// "alternate MS" (MS up to 600000). Trailing NULs and line ends are ignored
// (senders often count a terminating NUL in).
std::optional<HostCommand> ParseHostCommand(std::string_view text);

// ghost_host.exe [--ghost NAME[:ANSWER]]... [--log FILE] [--hidden]
// ghost_host.exe --command TEXT
struct HostOptions {
    std::vector<GhostSetup> ghosts;  // one default ghost when none is named
    std::string logPath;             // UTF-8; empty: no log
    bool hidden = false;
    std::optional<std::string> command;
};

inline constexpr std::string_view kDefaultGhostName = "Quillbin Demo Ghost";

// `arguments` exclude the program's name. On failure returns nothing and says
// why in `error`.
std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace quillbin
