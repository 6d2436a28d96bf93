// What the echo run costs beyond the echoes themselves: rounds of 200 echoes
// to 127.0.0.1, each once through EchoRun with the real bindings and a
// display that only stores its lines, and once as a bare loop of
// IcmpSendEcho calls with the same pacing rule, taken in turn so that both
// see the same machine. Prints the median round of each, their ratio, and the
// median time per echo spent outside IcmpSendEcho and the pause.
//   echo_bench [ROUNDS]      (default 3; a round of each takes about 20 s,
//                            since the pacing rule makes long pauses)
#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/scope_exit.h"
#include "bench/echo/echo_timeline.h"
#include "echo/echo_run.h"
#include "echo/payload.h"
#include "echo/win/icmp_library.h"
#include "echo/win/unique_icmp_handle.h"
#include "echo/win/win32_echo_bindings.h"
#include "framework/win/unique_handle.h"

namespace quillbin::bench {
namespace {

constexpr uint32_t kEchoes = 200;
constexpr uint32_t kDataSize = 18;
constexpr uint32_t kLoopback = 0x0100007F;  // network order

class TimedHandle final : public IcmpEchoHandle {
public:
    TimedHandle(std::unique_ptr<IcmpEchoHandle> inner, EchoTimeline& timeline)
        : m_inner(std::move(inner)), m_timeline(timeline) {}
    EchoReply SendEcho(uint32_t destination, std::string_view payload, const EchoRequestOptions& options) override {
        m_timeline.SendStarted();
        EchoReply reply = m_inner->SendEcho(destination, payload, options);
        m_timeline.SendEnded();
        return reply;
    }

private:
    std::unique_ptr<IcmpEchoHandle> m_inner;
    EchoTimeline& m_timeline;
};

class TimedLibrary final : public IcmpLibrary {
public:
    TimedLibrary(std::unique_ptr<IcmpLibrary> inner, EchoTimeline& timeline)
        : m_inner(std::move(inner)), m_timeline(timeline) {}
    std::unique_ptr<IcmpEchoHandle> CreateEchoHandle() override {
        auto handle = m_inner->CreateEchoHandle();
        return handle ? std::make_unique<TimedHandle>(std::move(handle), m_timeline) : nullptr;
    }

private:
    std::unique_ptr<IcmpLibrary> m_inner;
    EchoTimeline& m_timeline;
};

// The dialog's part of the bindings, as cheap as it can be: lines kept in
// memory, nothing shown, nothing sent.
class StoringBindings final : public win::Win32EchoBindings, public EchoDisplay, public ResultsNotifier {
public:
    explicit StoringBindings(EchoTimeline& timeline) : m_timeline(timeline) {}

    // Diagnostics dropped, nothing to stop.
    EchoRoles Roles() {
        return EchoRoles{.display = *this, .icmp = *this, .resolver = *this, .clock = *this, .notifier = *this};
    }

    void ClearResultList() override { lines.clear(); }
    void AddResultLine(std::string_view line) override { lines.emplace_back(line); }
    void SetStatusText(std::string_view text) override { status = text; }
    void NotifyGhosts(std::string_view body) override { event = body; }

    IcmpBinding BindIcmp() override {
        IcmpBinding binding = Win32EchoBindings::BindIcmp();
        if (auto* library = std::get_if<std::unique_ptr<IcmpLibrary>>(&binding)) {
            return std::make_unique<TimedLibrary>(std::move(*library), m_timeline);
        }
        return binding;
    }
    void Sleep(uint32_t milliseconds) override {
        int64_t start = Now();
        Win32EchoBindings::Sleep(milliseconds);
        m_timeline.Paused(Now() - start);
    }

    std::vector<std::string> lines;
    std::string status;
    std::string event;

private:
    EchoTimeline& m_timeline;
};

struct Round {
    double milliseconds = 0;
    double sendMilliseconds = 0;
    double pauseMilliseconds = 0;
    std::vector<double> outside;  // microseconds per echo
    bool allOk = false;

    void Take(const EchoTimeline& timeline) {
        sendMilliseconds = timeline.SendMilliseconds();
        pauseMilliseconds = timeline.PauseMilliseconds();
        outside = timeline.OutsideMicroseconds();
    }
};

Round EchoRunRound() {
    EchoTimeline timeline;
    timeline.Reserve(kEchoes);
    StoringBindings platform(timeline);
    PingSettings settings{"127.0.0.1", kEchoes, kDataSize, 0, 255};
    int64_t start = Now();
    EchoRun(settings, platform.Roles());
    Round round;
    round.milliseconds = Microseconds(Now() - start) / 1000;
    round.Take(timeline);
    round.allOk = platform.status == "OK=" + std::to_string(kEchoes);
    return round;
}

using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD, DWORD);

template <typename Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The same work with nothing of ours in the way: bind, open, send, pace.
Round BareLoopRound() {
    EchoTimeline timeline;
    timeline.Reserve(kEchoes);
    int64_t start = Now();
    win::UniqueModule module(::LoadLibraryA("IPHLPAPI.DLL"));
    auto create = Proc<IcmpCreateFileFn>(module.get(), "IcmpCreateFile");
    auto close = Proc<win::IcmpCloseHandleFn>(module.get(), "IcmpCloseHandle");
    auto send = Proc<IcmpSendEchoFn>(module.get(), "IcmpSendEcho");
    Round round;
    if (!create || !close || !send) return round;
    win::UniqueIcmpHandle handle(create(), close);

    char payload[2048];
    BuildEchoPayload(payload, kDataSize);
    alignas(8) unsigned char reply[win::kReplyAreaSize];
    uint32_t ok = 0;
    uint32_t mark = ::GetTickCount();
    for (uint32_t i = 0; i < kEchoes; ++i) {
        IP_OPTION_INFORMATION options{};
        options.Ttl = 255;
        timeline.SendStarted();
        DWORD replies =
            send(handle.get(), kLoopback, payload, kDataSize, &options, reply, sizeof reply, win::kEchoTimeoutMs);
        timeline.SendEnded();
        if (replies > 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply)->Status == 0) ++ok;
        if (i + 1 < kEchoes) {
            uint32_t now = ::GetTickCount();
            uint32_t elapsed = now - mark;
            if (elapsed < 500) {
                int64_t pause = Now();
                ::Sleep(elapsed);
                timeline.Paused(Now() - pause);
            }
            mark = now;
        }
    }
    handle.reset();
    module.reset();
    round.milliseconds = Microseconds(Now() - start) / 1000;
    round.Take(timeline);
    round.allOk = ok == kEchoes;
    return round;
}

struct Summary {
    double milliseconds;
    double sendMilliseconds;
    double pauseMilliseconds;
    double activeMilliseconds;  // the round less its pauses
    double outsideMicroseconds;
    bool allOk;
};

Summary Summarise(const std::vector<Round>& rounds) {
    std::vector<double> times, sends, pauses, active, outside;
    bool allOk = true;
    for (const Round& r : rounds) {
        times.push_back(r.milliseconds);
        sends.push_back(r.sendMilliseconds);
        pauses.push_back(r.pauseMilliseconds);
        active.push_back(r.milliseconds - r.pauseMilliseconds);
        outside.insert(outside.end(), r.outside.begin(), r.outside.end());
        allOk = allOk && r.allOk;
    }
    return {Median(times), Median(sends), Median(pauses), Median(active), Median(outside), allOk};
}

void PrintRow(const char* name, const Summary& s) {
    std::printf("  %-28s %10.2f %10.2f %10.2f %10.2f%s\n", name, s.milliseconds, s.sendMilliseconds,
                s.pauseMilliseconds, s.activeMilliseconds, s.allOk ? "" : "  (not all echoes OK!)");
}

}  // namespace
}  // namespace quillbin::bench

int main(int argc, char** argv) {
    using namespace quillbin::bench;
    int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    if (rounds < 1 || rounds > 100) {
        std::fprintf(stderr, "usage: echo_bench [ROUNDS 1-100]\n");
        return 2;
    }
    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(1, 1), &wsa) != 0) return 1;
    quillbin::ScopeExit cleanup([] { ::WSACleanup(); });

    // One round of each first, unmeasured: the first echo of a process starts
    // Wine's ICMP machinery.
    EchoRunRound();
    BareLoopRound();
    std::vector<Round> run, bare;
    for (int i = 0; i < rounds; ++i) {
        // Alternating which goes first keeps a drift of the machine from
        // favouring one side.
        if (i % 2 == 0) {
            run.push_back(EchoRunRound());
            bare.push_back(BareLoopRound());
        } else {
            bare.push_back(BareLoopRound());
            run.push_back(EchoRunRound());
        }
    }
    Summary r = Summarise(run), b = Summarise(bare);
    std::printf("%d rounds of %u echoes of %u bytes to 127.0.0.1; medians, in ms\n", rounds, kEchoes, kDataSize);
    std::printf("  %-28s %10s %10s %10s %10s\n", "", "round", "sending", "pauses", "no pauses");
    PrintRow("EchoRun, stored lines", r);
    PrintRow("bare IcmpSendEcho loop", b);
    // The pauses grow with the time each echo takes, to the millisecond, so
    // the whole rounds vary far more than the work between the echoes.
    std::printf("  ratio EchoRun / bare loop: %.3f per round (target: within 1.05), %.3f without the pauses\n",
                r.milliseconds / b.milliseconds, r.activeMilliseconds / b.activeMilliseconds);
    std::printf("  median per echo outside IcmpSendEcho and the pause: EchoRun %.1f us, bare loop %.1f us\n",
                r.outsideMicroseconds, b.outsideMicroseconds);
    return 0;
}
