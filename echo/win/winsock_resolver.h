// The socket library's address parsing and host lookups (Windows sockets 1.1),
// as the echo run needs them. The caller has started Windows sockets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "echo/echo_roles.h"

struct hostent;

namespace quillbin::win {

uint32_t ParseDottedAddress(const std::string& host);
std::optional<HostEntry> LookupHostName(const std::string& host);
std::optional<HostEntry> LookupHostAddress(uint32_t address);
std::string DottedText(uint32_t address);

// A host entry as the run uses it: its official name and first IPv4 address.
// An entry that holds no IPv4 address counts as no entry.
std::optional<HostEntry> HostEntryFrom(const hostent* entry);

}  // namespace quillbin::win
