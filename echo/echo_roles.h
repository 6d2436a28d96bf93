// What an echo run needs from the platform. The run's logic (echo/echo_run)
// is written once against these roles; the Win32 shell binds them to the ICMP
// service library, the socket library and the dialog's controls, and the
// tests to a recording fake with a simulated clock.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quillbin {

inline constexpr uint32_t kInaddrNone = 0xFFFFFFFFu;
inline constexpr uint8_t kIpFlagDontFragment = 0x02;

// The request options of one echo (IP_OPTION_INFORMATION without IP options).
struct EchoRequestOptions {
    uint8_t ttl = 0;
    uint8_t flags = 0;
};

// What one IcmpSendEcho call gave back.
struct EchoReply {
    // False when the call returned 0: then the reply area was not written and
    // only lastError says what happened.
    bool written = false;
    uint32_t lastError = 0;
    // The first reply record, meaningful only when written.
    uint32_t address = 0;  // network byte order
    uint32_t status = 0;
    uint32_t roundTripTime = 0;  // milliseconds
    uint8_t ttl = 0;
    uint16_t dataSize = 0;
    // The echoed bytes, or nullopt when the record's Data/DataSize do not lie
    // inside the reply area. Valid until the next SendEcho on the same handle.
    std::optional<std::string_view> data;
};

// An open ICMP handle; destroying it closes the handle (IcmpCloseHandle).
// It must not outlive the IcmpLibrary that created it.
class IcmpEchoHandle {
public:
    virtual ~IcmpEchoHandle() = default;
    // One echo, waiting up to 5000 ms, into a 2076-byte reply area.
    virtual EchoReply SendEcho(uint32_t destination, std::string_view payload, const EchoRequestOptions& options) = 0;
};

// The loaded ICMP service library with its three entry points; destroying it
// releases the module (FreeLibrary).
class IcmpLibrary {
public:
    virtual ~IcmpLibrary() = default;
    // IcmpCreateFile; nullptr when it fails.
    virtual std::unique_ptr<IcmpEchoHandle> CreateEchoHandle() = 0;
};

enum class IcmpBindError {
    NoLibrary,     // neither "IPHLPAPI.DLL" nor "ICMP.DLL" loads
    NoEntryPoint,  // a module loaded but lacks an entry point (it is released again)
};

using IcmpBinding = std::variant<std::unique_ptr<IcmpLibrary>, IcmpBindError>;

// A resolved host: the entry's official name and its first IPv4 address.
struct HostEntry {
    std::string name;      // code page 932 bytes
    uint32_t address = 0;  // network byte order
};

// The roles an echo run plays against the platform. Each is narrow, so that a
// stand-in implements only what its test looks at; one object may play
// several.

// The two display targets: the result list and the status line.
class EchoDisplay {
public:
    virtual ~EchoDisplay() = default;
    virtual void ClearResultList() = 0;
    virtual void AddResultLine(std::string_view line) = 0;
    virtual void SetStatusText(std::string_view text) = 0;
};

// Diagnostics; the tool has no console, so nobody normally sees them.
class EchoDiagnostics {
public:
    virtual ~EchoDiagnostics() = default;
    virtual void WriteStdout(std::string_view text) = 0;
    virtual void WriteStderr(std::string_view text) = 0;
};

// "IPHLPAPI.DLL", else "ICMP.DLL", and the three entry points.
class IcmpBinder {
public:
    virtual ~IcmpBinder() = default;
    virtual IcmpBinding BindIcmp() = 0;
};

// The socket library: inet_addr, gethostbyname, gethostbyaddr, inet_ntoa.
// A lookup yields nullopt when there is no entry or it has no address.
class HostResolver {
public:
    virtual ~HostResolver() = default;
    virtual uint32_t ParseDottedAddress(const std::string& host) = 0;
    virtual std::optional<HostEntry> LookupName(const std::string& host) = 0;
    virtual std::optional<HostEntry> LookupAddress(uint32_t address) = 0;
    virtual std::string DottedText(uint32_t address) = 0;
};

// GetTickCount (a 32-bit count that wraps) and Sleep.
class EchoClock {
public:
    virtual ~EchoClock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// Hands the results event body to the ghost notifier.
class ResultsNotifier {
public:
    virtual ~ResultsNotifier() = default;
    virtual void NotifyGhosts(std::string_view body) = 0;
};

// True once whoever started the run wants it to end (a closing dialog): the
// run then ends at its next step and sends no results event. Asked from the
// run's own thread while another may set it.
class StopSignal {
public:
    virtual ~StopSignal() = default;
    virtual bool StopRequested() const = 0;
};

// For runs that nobody stops, and bindings that drop their diagnostics. Both
// hold nothing, so threads may share them.
inline const StopSignal& NeverStop() {
    struct Never final : StopSignal {
        bool StopRequested() const override { return false; }
    };
    static const Never never;
    return never;
}
inline EchoDiagnostics& DroppedDiagnostics() {
    struct Dropped final : EchoDiagnostics {
        void WriteStdout(std::string_view /*text*/) override {}
        void WriteStderr(std::string_view /*text*/) override {}
    };
    static Dropped dropped;
    return dropped;
}

// What one run uses, a role each.
struct EchoRoles {
    EchoDisplay& display;
    IcmpBinder& icmp;
    HostResolver& resolver;
    EchoClock& clock;
    ResultsNotifier& notifier;
    EchoDiagnostics& diagnostics = DroppedDiagnostics();
    const StopSignal& stop = NeverStop();
};

}  // namespace quillbin
