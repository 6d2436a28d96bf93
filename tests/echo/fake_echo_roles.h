// A recording stand-in for the platform of an echo run, with a simulated
// clock: Sleep and every echo advance it, nothing waits. Scenarios set the
// public fields before the run and read the recordings after it.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "echo/echo_roles.h"

namespace quillbin::testing {

// A network-order IPv4 address from its dotted parts.
inline uint32_t Ipv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t bytes[4] = {a, b, c, d};
    uint32_t address;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

// What one echo gives back, and how long it takes on the simulated clock.
struct ScriptedEcho {
    EchoReply reply;
    std::optional<std::string> data;  // the echoed bytes; nullopt: outside the reply area
    uint32_t takesMs = 0;
};

// A written reply with status 0 that echoes `data`.
inline ScriptedEcho Echoed(uint32_t from, std::string_view data, uint32_t rttMs, uint8_t ttl = 64) {
    ScriptedEcho echo;
    echo.reply.written = true;
    echo.reply.address = from;
    echo.reply.roundTripTime = rttMs;
    echo.reply.ttl = ttl;
    echo.reply.dataSize = static_cast<uint16_t>(data.size());
    echo.data = std::string(data);
    echo.takesMs = rttMs;
    return echo;
}

// A written reply with a nonzero status and no data.
inline ScriptedEcho Failed(uint32_t status, uint32_t from, uint32_t rttMs, uint8_t ttl = 0) {
    ScriptedEcho echo;
    echo.reply.written = true;
    echo.reply.status = status;
    echo.reply.address = from;
    echo.reply.roundTripTime = rttMs;
    echo.reply.ttl = ttl;
    echo.data = std::string();
    echo.takesMs = rttMs;
    return echo;
}

// The send call returned 0: nothing was written, only the error is known.
inline ScriptedEcho Unwritten(uint32_t lastError, uint32_t takesMs) {
    ScriptedEcho echo;
    echo.reply.lastError = lastError;
    echo.takesMs = takesMs;
    return echo;
}

struct SentEcho {
    uint32_t destination;
    std::string payload;
    EchoRequestOptions options;
    uint32_t tick;  // the clock when the echo was sent
};

class FakeEchoRoles : public EchoDisplay,
                      public EchoDiagnostics,
                      public IcmpBinder,
                      public HostResolver,
                      public EchoClock,
                      public ResultsNotifier,
                      public StopSignal {
public:
    // Every role played by this fake; `stop` in place of its own.
    EchoRoles Roles() { return Roles(*this); }
    EchoRoles Roles(const StopSignal& stop) {
        return EchoRoles{.display = *this,
                         .icmp = *this,
                         .resolver = *this,
                         .clock = *this,
                         .notifier = *this,
                         .diagnostics = *this,
                         .stop = stop};
    }

    // ---- scenario ----
    std::optional<IcmpBindError> bindError;
    bool createHandleFails = false;
    std::map<std::string, uint32_t> dottedHosts;  // texts that parse as addresses
    std::map<std::string, HostEntry> names;       // name lookups that find an entry
    std::map<uint32_t, HostEntry> reverseNames;   // address lookups that find an entry
    uint32_t lookupTakesMs = 0;
    uint32_t clock = 1000;
    // Default: every echo comes back intact from the destination in 10 ms.
    std::function<ScriptedEcho(uint32_t index, const SentEcho& sent)> respond = [](uint32_t, const SentEcho& request) {
        return Echoed(request.destination, request.payload, 10);
    };
    // StopRequested() turns true once this many echoes were sent.
    std::optional<size_t> stopAfterEchoes;
    // Called on the run's thread as the binding, a lookup, an echo or the
    // sending of the results event begins ("bind", "lookup", "echo",
    // "notify"): a test can hold the run there.
    std::function<void(std::string_view step)> atStep;

    // ---- recordings ----
    // Kinds, in call order: clear, status, line, stdout, stderr, bind, create,
    // echo, sleep, close, free, notify.
    std::vector<std::string> events;
    std::vector<std::string> lines;
    std::vector<std::string> statuses;
    std::string out;
    std::string err;
    std::vector<std::string> nameLookups;
    std::vector<uint32_t> addressLookups;
    std::vector<SentEcho> sent;
    std::vector<uint32_t> sleeps;
    std::vector<std::string> notified;
    int openLibraries = 0;
    int openHandles = 0;
    bool handleOutlivedLibrary = false;

    void ClearResultList() override { events.emplace_back("clear"); }
    void AddResultLine(std::string_view line) override {
        events.emplace_back("line");
        lines.emplace_back(line);
    }
    void SetStatusText(std::string_view text) override {
        events.emplace_back("status");
        statuses.emplace_back(text);
    }
    void WriteStdout(std::string_view text) override {
        events.emplace_back("stdout");
        out += text;
    }
    void WriteStderr(std::string_view text) override {
        events.emplace_back("stderr");
        err += text;
    }

    IcmpBinding BindIcmp() override {
        Step("bind");
        events.emplace_back("bind");
        if (bindError) return *bindError;
        return std::make_unique<Library>(*this);
    }

    uint32_t ParseDottedAddress(const std::string& host) override {
        auto it = dottedHosts.find(host);
        return it == dottedHosts.end() ? kInaddrNone : it->second;
    }
    std::optional<HostEntry> LookupName(const std::string& host) override {
        Step("lookup");
        clock += lookupTakesMs;
        nameLookups.push_back(host);
        auto it = names.find(host);
        return it == names.end() ? std::nullopt : std::optional<HostEntry>(it->second);
    }
    std::optional<HostEntry> LookupAddress(uint32_t address) override {
        Step("lookup");
        clock += lookupTakesMs;
        addressLookups.push_back(address);
        auto it = reverseNames.find(address);
        return it == reverseNames.end() ? std::nullopt : std::optional<HostEntry>(it->second);
    }
    std::string DottedText(uint32_t address) override {
        uint8_t b[4];
        std::memcpy(b, &address, sizeof b);
        return std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' + std::to_string(b[2]) + '.' +
               std::to_string(b[3]);
    }

    uint32_t TickCount() override { return clock; }
    void Sleep(uint32_t milliseconds) override {
        events.emplace_back("sleep");
        sleeps.push_back(milliseconds);
        clock += milliseconds;
    }

    void NotifyGhosts(std::string_view body) override {
        Step("notify");
        events.emplace_back("notify");
        notified.emplace_back(body);
    }
    bool StopRequested() const override { return stopAfterEchoes && sent.size() >= *stopAfterEchoes; }

    // The events of the kinds given, in order: for checks on a part of the story.
    std::vector<std::string> EventsOf(std::initializer_list<std::string_view> kinds) const {
        std::vector<std::string> picked;
        for (const std::string& e : events) {
            for (std::string_view k : kinds) {
                if (e == k) picked.push_back(e);
            }
        }
        return picked;
    }

private:
    void Step(std::string_view step) const {
        if (atStep) atStep(step);
    }

    class Handle : public IcmpEchoHandle {
    public:
        explicit Handle(FakeEchoRoles& fake) : m_fake(fake) { ++m_fake.openHandles; }
        ~Handle() override {
            m_fake.events.emplace_back("close");
            --m_fake.openHandles;
            if (m_fake.openLibraries == 0) m_fake.handleOutlivedLibrary = true;
        }
        EchoReply SendEcho(uint32_t destination, std::string_view payload, const EchoRequestOptions& options) override {
            m_fake.Step("echo");
            m_fake.events.emplace_back("echo");
            const auto index = static_cast<uint32_t>(m_fake.sent.size());
            m_fake.sent.push_back({destination, std::string(payload), options, m_fake.clock});
            ScriptedEcho echo = m_fake.respond(index, m_fake.sent.back());
            m_fake.clock += echo.takesMs;
            m_data = std::move(echo.data);
            echo.reply.data = m_data ? std::optional<std::string_view>(*m_data) : std::nullopt;
            return echo.reply;
        }

    private:
        FakeEchoRoles& m_fake;
        std::optional<std::string> m_data;  // what the last reply's data points into
    };

    class Library : public IcmpLibrary {
    public:
        explicit Library(FakeEchoRoles& fake) : m_fake(fake) { ++m_fake.openLibraries; }
        ~Library() override {
            m_fake.events.emplace_back("free");
            --m_fake.openLibraries;
        }
        std::unique_ptr<IcmpEchoHandle> CreateEchoHandle() override {
            m_fake.events.emplace_back("create");
            if (m_fake.createHandleFails) return nullptr;
            return std::make_unique<Handle>(m_fake);
        }

    private:
        FakeEchoRoles& m_fake;
    };
};

}  // namespace quillbin::testing
