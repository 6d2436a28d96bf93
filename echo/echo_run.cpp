#include "echo/echo_run.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "echo/echo_lines.h"
#include "echo/payload.h"
#include "echo/reply_outcome.h"

namespace quillbin {

namespace {

// The payload area holds the largest data size the dialog accepts, its NUL
// and room to spare.
constexpr size_t kPayloadAreaSize = 2048;
static_assert(kDataSizeRange.maximum < kPayloadAreaSize);

// Echoes that come back quickly are spaced out by about as long again; once
// an echo and its pause together reach this, the spacing starts over.
constexpr uint32_t kPaceLimitMs = 500;

EchoRequestOptions RequestOptions(const PingSettings& settings) {
    EchoRequestOptions options;
    options.ttl = static_cast<uint8_t>(settings.ttl & 0xFFu);
    options.flags = settings.dontFragment != 0 ? kIpFlagDontFragment : uint8_t{0};
    return options;
}

std::optional<HostEntry> ResolveHost(const std::string& host, HostResolver& resolver) {
    const uint32_t parsed = resolver.ParseDottedAddress(host);
    if (parsed == kInaddrNone) return resolver.LookupName(host);
    if (std::optional<HostEntry> entry = resolver.LookupAddress(parsed)) return entry;
    // A well-formed address needs no name to be pinged; many hosts have no
    // reverse entry at all.
    return HostEntry{resolver.DottedText(parsed), parsed};
}

// Sleeps for the time since the mark when that is short, then moves the mark
// to the tick read here, so the next interval includes this pause.
void Pace(EchoClock& clock, uint32_t& mark) {
    const uint32_t now = clock.TickCount();
    const uint32_t elapsed = now - mark;  // unsigned: right across a wrap of the count
    if (elapsed < kPaceLimitMs) clock.Sleep(elapsed);
    mark = now;
}

}  // namespace

void EchoRun(const PingSettings& settings, const EchoRoles& roles) {
    EchoDisplay& display = roles.display;
    display.ClearResultList();
    display.SetStatusText(kWorkingText);

    IcmpBinding binding = roles.icmp.BindIcmp();
    const IcmpBindError* bindError = std::get_if<IcmpBindError>(&binding);
    if (bindError != nullptr && *bindError == IcmpBindError::NoEntryPoint) {
        roles.diagnostics.WriteStderr(kProcAddressError);
    }
    std::unique_ptr<IcmpLibrary> library =
        bindError != nullptr ? nullptr : std::move(std::get<std::unique_ptr<IcmpLibrary>>(binding));
    if (!library) {
        display.AddResultLine(kIcmpUnavailableLine);
        return;
    }

    // A closing dialog must not wait for what is still to come: a lookup can
    // take seconds, and so can every echo. What is under way runs its course.
    if (roles.stop.StopRequested()) return;
    const std::optional<HostEntry> host = ResolveHost(settings.host, roles.resolver);
    if (!host) {
        display.AddResultLine(kHostLookupFailedLine);
        return;
    }
    roles.diagnostics.WriteStdout(PingingDiagnostic(host->name, roles.resolver.DottedText(host->address)));

    if (roles.stop.StopRequested()) return;
    // Declared after the library, so it is closed before the module goes.
    std::unique_ptr<IcmpEchoHandle> handle = library->CreateEchoHandle();
    if (!handle) {
        roles.diagnostics.WriteStderr(kEchoHandleError);
        display.AddResultLine(kIcmpUnavailableLine);
        return;
    }

    // The dialog keeps the size in range; the cap only keeps a careless
    // caller from writing past the area.
    char payloadArea[kPayloadAreaSize];
    const uint32_t dataSize = std::min(settings.dataSize, kDataSizeRange.maximum);
    BuildEchoPayload(payloadArea, dataSize);
    const std::string_view payload(payloadArea, dataSize);

    // The first interval counts from here: the host lookup is not an echo.
    uint32_t paceMark = roles.clock.TickCount();
    std::string body(kResultsEventLine);
    uint32_t okCount = 0;
    uint32_t ngCount = 0;

    for (uint32_t index = 0; index < settings.count; ++index) {
        if (roles.stop.StopRequested()) return;

        const EchoReply reply = handle->SendEcho(host->address, payload, RequestOptions(settings));
        const ClassifiedReply classified = ClassifyEchoReply(reply, payload);
        const std::string address =
            classified.outcome == EchoOutcome::StatusFailure ? std::string() : roles.resolver.DottedText(reply.address);
        const EchoLines lines = FormatEchoLines(index, classified, reply, address);
        ++(IsOk(classified.outcome) ? okCount : ngCount);

        display.AddResultLine(lines.listLine);
        body += lines.referenceLine;

        if (index + 1 < settings.count) Pace(roles.clock, paceMark);
    }

    handle.reset();
    library.reset();
    if (roles.stop.StopRequested()) return;

    display.SetStatusText(FinalStatusText(okCount, ngCount));
    roles.notifier.NotifyGhosts(body);
}

}  // namespace quillbin
