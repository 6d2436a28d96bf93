// The notifier against the demo ghost host, with a window of the test's main
// thread standing in for the dialog: its sends, and its refreshes while the
// host rewrites the block or keeps the mutex "SakuraFMO".
#include "sstp/win/ghost_notifier_bindings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/win/unique_handle.h"
#include "sstp/sstp_request.h"
#include "sstp/win/host_directory_reader.h"
#include "sstp/win/sakura_message.h"
#include "tests/support/ghost_host_fixture.h"
#include "tests/support/ghost_notifier_peer.h"
#include "tests/support/waiting.h"

namespace quillbin::win {
namespace {

std::vector<std::string> GhostArguments(const std::vector<std::string>& ghosts) {
    std::vector<std::string> arguments{"--hidden"};
    for (const std::string& g : ghosts) {
        arguments.push_back("--ghost");
        arguments.push_back(g);
    }
    return arguments;
}

std::vector<std::string> ReceivingGhosts(const GhostHostProcess& host) {
    std::vector<std::string> names;
    for (const LoggedRequest& r : host.Requests()) names.push_back(r.ghost);
    return names;
}

class GhostNotifierTest : public ::testing::Test {
protected:
    GhostNotifierTest() : m_notifier(RegisterSakuraMessage()) { m_notifier.SetSenderWindow(m_window); }
    ~GhostNotifierTest() override { ::DestroyWindow(m_window); }

    void SetUp() override { ASSERT_NE(m_window, nullptr); }

    // Starts the host and lists its ghosts.
    std::unique_ptr<GhostHostProcess> StartHost(const std::vector<std::string>& ghosts) {
        auto host = std::make_unique<GhostHostProcess>(GhostArguments(ghosts));
        EXPECT_TRUE(host->ready()) << host->error();
        if (host->ready()) {
            EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
        }
        return host;
    }

    // Top-level, so that the host's broadcasts reach it as they reach the dialog.
    HWND m_window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    GhostNotifierBindings m_notifier;
};

// Each listed ghost gets the request byte for byte, from the sender window;
// a ghost whose window is gone, or that answers 0, counts as failed.
TEST_F(GhostNotifierTest, RequestsArriveByteForByteAndGoneOrRefusingGhostsCountAsFailed) {
    auto host = StartHost({"First", "Second:gone", "Refuser:zero", "Fourth"});
    ASSERT_TRUE(host->ready());
    GhostList ghosts = GhostNotifierPeer::Ghosts(m_notifier);
    ASSERT_EQ(ghosts.size(), 4u);
    // The host destroys the window right after publishing; wait until it has.
    HWND second = reinterpret_cast<HWND>(static_cast<uintptr_t>(ghosts.handles[1]));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(second); }, 5000));

    const std::string expected = "NOTIFY SSTP/1.0\r\nCharset: Shift_JIS\r\nSecurityLevel: local\r\n"
                                 "Sender: ICMP Echo Quillbin\r\nHWnd: " +
                                 std::to_string(NumberFromWindow(m_window)) +
                                 "\r\nEvent: OnApplicationBoot\r\nReference0: ICMP Echo Quillbin\r\n\r\n";
    EXPECT_EQ(m_notifier.SendSstpNotify(kStartupEventBody), 2u);
    ASSERT_TRUE(host->WaitForRequests(3, 5000));
    EXPECT_EQ(ReceivingGhosts(*host), (std::vector<std::string>{"First", "Refuser", "Fourth"}));
    for (const LoggedRequest& r : host->Requests()) {
        EXPECT_EQ(r.dwData, 9801u);
        EXPECT_EQ(r.cbData, expected.size());
        EXPECT_EQ(r.bytes, expected);
        EXPECT_EQ(r.sender, NumberFromWindow(m_window));
    }
    // A stale handle stays listed until the next refresh.
    EXPECT_EQ(GhostNotifierPeer::Ghosts(m_notifier).size(), 4u);
}

// A worker's send waits 5 s for a ghost that does not answer, then serves the
// next. A refresh on the window thread meanwhile returns at once, and is
// posted to the window as "sakura"/1024 once the send is over.
TEST_F(GhostNotifierTest, SlowGhostTimesOutTheNextIsServedAbout5sLaterAndARefreshMeanwhileIsPosted) {
    auto host = StartHost({"Slow:delay=6000", "Next"});
    ASSERT_TRUE(host->ready());
    std::atomic<unsigned> failed{99};
    std::thread worker([&] { failed = m_notifier.SendSstpNotify(kStartupEventBody); });
    // The worker is inside its send once the slow ghost has the request.
    ASSERT_TRUE(PumpUntil([&] { return host->Requests().size() >= 1; }, 5000));
    EXPECT_EQ(m_notifier.RefreshGhostList(), 0);
    EXPECT_EQ(failed.load(), 99u) << "the refresh waited for the send";
    worker.join();
    EXPECT_EQ(failed.load(), 1u);
    MSG posted{};
    ASSERT_TRUE(::PeekMessageW(&posted, m_window, g_sakuraMessage, g_sakuraMessage, PM_REMOVE));
    EXPECT_EQ(posted.wParam, kSakuraRefresh);

    ASSERT_TRUE(host->WaitForRequests(2, 5000));
    std::vector<LoggedRequest> requests = host->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].ghost, "Slow");
    EXPECT_EQ(requests[1].ghost, "Next");
    uint32_t gap = requests[1].tick - requests[0].tick;
    EXPECT_GE(gap, 4500u);
    EXPECT_LT(gap, 8000u);
}

using Clock = std::chrono::steady_clock;
using Span = std::pair<Clock::time_point, Clock::time_point>;

long long Ms(Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); }

// A busy shared machine now and then runs none of the test's threads, or not
// the Wine server their calls go through, for a tenth of a second. A thread
// that calls the server every millisecond notes each such stall (a gap over
// 10 ms), and a timing is judged net of them: what the code spent and waited.
class StallMeter {
public:
    StallMeter() : m_never(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this] {
            for (Clock::time_point last = Clock::now(); !m_stop;) {
                ::WaitForSingleObject(m_never.get(), 1);
                Clock::time_point before = std::exchange(last, Clock::now());
                if (last - before > std::chrono::milliseconds(10)) m_stalls.emplace_back(before, last);
            }
        });
    }
    // Once the measured spans are over.
    long long NetMs(const Span& span) {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        Clock::duration net = span.second - span.first;
        for (const Span& stall : m_stalls) {
            Clock::time_point from = std::max(stall.first, span.first), to = std::min(stall.second, span.second);
            if (to > from) net -= to - from;
        }
        return Ms(net);
    }

private:
    UniqueHandle m_never;
    std::atomic<bool> m_stop{false};
    std::vector<Span> m_stalls;
    std::thread m_thread;
};

// The host writes its ghosts in order and reversed, in turn, taking a while
// over each write: a copy that overlapped a write would list neither. A
// refresh whose 100 ms wait ran out (a host stalled that long) copies without
// the mutex, as it should: only those that returned sooner are held to it.
TEST_F(GhostNotifierTest, EveryRefreshDuringContinuousRewritesReadsOneWholeList) {
    auto host = StartHost({"Alpha", "Beta", "Gamma", "Delta"});
    ASSERT_TRUE(host->ready());
    const std::vector<uint32_t> inOrder = GhostNotifierPeer::Ghosts(m_notifier).handles,
                                reversed(inOrder.rbegin(), inOrder.rend());
    ASSERT_EQ(inOrder.size(), 4u);
    ASSERT_TRUE(host->Command("alternate 120000"));
    int seen[3] = {0, 0, 0}, waitedOut = 0;  // in order, reversed, neither
    for (int i = 0; i < 1000; ++i) {
        Clock::time_point started = Clock::now();
        ASSERT_EQ(m_notifier.RefreshGhostList(), 1);
        if (Ms(Clock::now() - started) >= 95) {
            ++waitedOut;
            continue;
        }
        std::vector<uint32_t> handles = GhostNotifierPeer::Ghosts(m_notifier).handles;
        ++seen[handles == inOrder ? 0 : handles == reversed ? 1 : 2];
    }
    std::printf("in order %d, reversed %d, neither %d, waits run out %d\n", seen[0], seen[1], seen[2], waitedOut);
    EXPECT_EQ(seen[2], 0);
    EXPECT_GT(seen[0], 0);  // both came up: the host rewrote all along
    EXPECT_GT(seen[1], 0);
    EXPECT_LE(waitedOut, 100);
}

// A host keeps the mutex for 3 s: each refresh meanwhile waits for it, then
// copies without it, while the window keeps answering; after the release a
// refresh reads as usual.
TEST_F(GhostNotifierTest, AHostKeepingTheMutexCostsEachRefreshItsWaitAndTheWindowKeepsAnswering) {
    auto host = StartHost({"Alpha", "Beta"});
    ASSERT_TRUE(host->ready());
    const std::vector<uint32_t> listed = GhostNotifierPeer::Ghosts(m_notifier).handles;
    StallMeter stalls;
    ASSERT_TRUE(host->Command("hold 3000"));  // accepted once the host owns it
    const Clock::time_point held = Clock::now();
    std::atomic<bool> probing{true}, probed{false};
    std::vector<Span> probes, refreshes;
    std::thread prober([&] {
        for (DWORD_PTR ignored = 0; probing; ::Sleep(20)) {
            Clock::time_point sent = Clock::now();
            ::SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
            probes.emplace_back(sent, Clock::now());
        }
        probed = true;
    });
    while (Ms(Clock::now() - held) < 2800) {
        Clock::time_point started = Clock::now();
        EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
        refreshes.emplace_back(started, Clock::now());
        PumpUntil([] { return false; }, 10);
    }
    probing = false;
    PumpUntil([&] { return probed.load(); }, 10000);  // a last probe may be on its way
    prober.join();
    long long refreshMs = 0, probeMs = 0, rawMs[2] = {0, 0};
    for (const Span& span : refreshes) refreshMs = std::max(refreshMs, stalls.NetMs(span));
    for (const Span& span : probes) probeMs = std::max(probeMs, stalls.NetMs(span));
    for (const Span& span : refreshes) rawMs[0] = std::max(rawMs[0], Ms(span.second - span.first));
    for (const Span& span : probes) rawMs[1] = std::max(rawMs[1], Ms(span.second - span.first));
    std::printf("%zu refreshes, the longest %lld ms (%lld as timed); %zu probes, the longest %lld ms (%lld)\n",
                refreshes.size(), refreshMs, rawMs[0], probes.size(), probeMs, rawMs[1]);
    EXPECT_LE(refreshMs, 150);
    EXPECT_LE(probeMs, 100);

    PumpUntil([&] { return Ms(Clock::now() - held) > 3200; }, 5000);
    EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
    EXPECT_EQ(GhostNotifierPeer::Ghosts(m_notifier).handles, listed);
}

// The host dies owning the mutex; its block lives on while another handle to
// it is open (as when a second host shares it).
TEST_F(GhostNotifierTest, AHostThatDiesOwningTheMutexLeavesItToTheNextRefresh) {
    auto host = StartHost({"Alpha", "Beta"});
    ASSERT_TRUE(host->ready());
    const std::vector<uint32_t> listed = GhostNotifierPeer::Ghosts(m_notifier).handles;
    UniqueHandle block(::OpenFileMappingA(FILE_MAP_READ, FALSE, kHostDirectoryName));
    ASSERT_TRUE(block);
    ASSERT_TRUE(host->Command("hold 60000"));
    {
        UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, host->ProcessId()));
        ASSERT_TRUE(process && ::TerminateProcess(process.get(), 1));
    }
    ASSERT_TRUE(host->WaitForExit(5000));

    EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
    EXPECT_EQ(GhostNotifierPeer::Ghosts(m_notifier).handles, listed);
    // The refresh took the abandoned mutex over and gave it back: the next
    // writer finds it free.
    UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, kHostDirectoryMutexName));
    DWORD woke = WAIT_FAILED;
    std::thread([&] {
        woke = ::WaitForSingleObject(mutex.get(), 0);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED) ::ReleaseMutex(mutex.get());
    }).join();
    EXPECT_EQ(woke, WAIT_OBJECT_0);
}

}  // namespace
}  // namespace quillbin::win
