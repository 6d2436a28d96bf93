// One run of echoes: from the settings to the result lines, the status line
// and the results event.
#pragma once

#include "echo/echo_roles.h"
#include "settings/ping_settings.h"

namespace quillbin {

// The run reads `settings` throughout: they must not change under it.
void EchoRun(const PingSettings& settings, const EchoRoles& roles);

}  // namespace quillbin
