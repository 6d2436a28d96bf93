#include "echo/win/winsock_resolver.h"

#include <winsock2.h>

#include <cstring>

namespace quillbin::win {

uint32_t ParseDottedAddress(const std::string& host) { return ::inet_addr(host.c_str()); }

std::optional<HostEntry> LookupHostName(const std::string& host) {
    return HostEntryFrom(::gethostbyname(host.c_str()));
}

std::optional<HostEntry> LookupHostAddress(uint32_t address) {
    return HostEntryFrom(::gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET));
}

std::string DottedText(uint32_t address) {
    in_addr in{};
    in.s_addr = address;
    const char* text = ::inet_ntoa(in);
    return text ? std::string(text) : std::string();
}

std::optional<HostEntry> HostEntryFrom(const hostent* entry) {
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list ||
        !entry->h_addr_list[0]) {
        return std::nullopt;
    }
    HostEntry result;
    if (entry->h_name) result.name = entry->h_name;
    std::memcpy(&result.address, entry->h_addr_list[0], 4);
    return result;
}

}  // namespace quillbin::win
