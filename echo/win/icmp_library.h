// Binds the ICMP service library at run time and opens ICMP handles on it.
#pragma once

#include <span>

#include "echo/echo_roles.h"

namespace quillbin::win {

// The modules tried in order: the first that loads is bound, and a module
// that loads but lacks an entry point ends the binding (no further module is
// tried).
inline constexpr const char* kIcmpModuleNames[] = {"IPHLPAPI.DLL", "ICMP.DLL"};

// Each echo waits this long for its reply, into a reply area of this size.
inline constexpr uint32_t kEchoTimeoutMs = 5000;
inline constexpr size_t kReplyAreaSize = 2076;

IcmpBinding BindIcmpLibrary(std::span<const char* const> moduleNames = kIcmpModuleNames);

}  // namespace quillbin::win
