#include "tools/ghost_host/host_command.h"

namespace quillbin {

std::optional<HostCommand> ParseHostCommand(std::string_view text) {
    while (!text.empty() && (text.back() == '\0' || text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    constexpr std::string_view kAdd = "add ";
    constexpr std::string_view kRemove = "remove ";
    constexpr std::string_view kHold = "hold ";
    constexpr std::string_view kAlternate = "alternate ";
    HostCommand command;
    if (text == "clear") {
        command.kind = HostCommand::Kind::Clear;
    } else if (text == "quit") {
        command.kind = HostCommand::Kind::Quit;
    } else if (text.substr(0, kAdd.size()) == kAdd) {
        auto ghost = ParseGhostSetup(text.substr(kAdd.size()));
        if (!ghost) return std::nullopt;
        command.kind = HostCommand::Kind::Add;
        command.ghost = std::move(*ghost);
    } else if (text.substr(0, kRemove.size()) == kRemove && text.size() > kRemove.size()) {
        command.kind = HostCommand::Kind::Remove;
        command.ghost.name = std::string(text.substr(kRemove.size()));
    } else if (text.substr(0, kHold.size()) == kHold || text.substr(0, kAlternate.size()) == kAlternate) {
        bool hold = text.substr(0, kHold.size()) == kHold;
        auto ms = ParseMilliseconds(text.substr(hold ? kHold.size() : kAlternate.size()));
        if (!ms) return std::nullopt;
        command.kind = hold ? HostCommand::Kind::Hold : HostCommand::Kind::Alternate;
        command.timeMs = *ms;
    } else {
        return std::nullopt;
    }
    return command;
}

std::optional<HostOptions> ParseHostOptions(const std::vector<std::string>& arguments, std::string& error) {
    HostOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        bool takesValue = option == "--ghost" || option == "--log" || option == "--command";
        if (takesValue && i + 1 >= arguments.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        if (option == "--ghost") {
            auto ghost = ParseGhostSetup(arguments[++i]);
            if (!ghost) {
                error = "not a ghost: " + arguments[i];
                return std::nullopt;
            }
            options.ghosts.push_back(std::move(*ghost));
        } else if (option == "--log") {
            options.logPath = arguments[++i];
        } else if (option == "--command") {
            options.command = arguments[++i];
        } else if (option == "--hidden") {
            options.hidden = true;
        } else {
            error = "unknown argument: " + option;
            return std::nullopt;
        }
    }
    if (options.ghosts.empty()) options.ghosts.push_back(GhostSetup{std::string(kDefaultGhostName)});
    return options;
}

}  // namespace quillbin
