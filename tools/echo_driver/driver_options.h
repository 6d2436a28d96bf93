// The echo driver's command line: the five settings of one run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/ping_settings.h"

namespace quillbin {

struct DriverOptions {
    PingSettings settings;
    // Round-trip times vary from run to run; masked, the output can be
    // compared exactly.
    bool maskTimes = true;
};

// Arguments (UTF-8, program name excluded) of the form --host=NAME,
// --count=N, --size=N, --ttl=N, --df=0|1 and --raw-times. The host is
// required; the others default to the dialog's defaults (10, 18, 255, 0).
// The host stays UTF-8 here; the caller converts it to code page 932.
// nullopt, with a message in `error`, for anything else.
std::optional<DriverOptions> ParseDriverOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace quillbin
