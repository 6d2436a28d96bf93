// The notifier against the demo ghost host, with a window of the test's main
// thread standing in for the dialog: its sends, and its refreshes while the
// host rewrites the block or keeps the mutex "SakuraFMO".
#include "sstp/win/ghost_notifier.h"

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
#include "tests/sstp/win/sender_window.h"
#include "tests/support/ghost_host_fixture.h"

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
    GhostNotifierTest() : m_notifier(RegisterSakuraMessage()), m_window(m_notifier) {
        m_notifier.SetSenderWindow(m_window.get());
    }

    void SetUp() override { ASSERT_NE(m_window.get(), nullptr); }

    // Starts the host and lists its ghosts.
    std::unique_ptr<GhostHostProcess> StartHost(const std::vector<std::string>& ghosts) {
        auto host = std::make_unique<GhostHostProcess>(GhostArguments(ghosts));
        EXPECT_TRUE(host->ready()) << host->error();
        if (host->ready()) {
            EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
        }
        return host;
    }

    GhostNotifier m_notifier;
    SenderWindow m_window;
};

TEST_F(GhostNotifierTest, StartupRequestArrivesByteForByte) {
    auto host = StartHost({"Solo"});
    ASSERT_TRUE(host->ready());
    GhostList ghosts = m_notifier.Ghosts();
    ASSERT_EQ(ghosts.size(), 1u);

    const std::string expected = "NOTIFY SSTP/1.0\r\nCharset: Shift_JIS\r\nSecurityLevel: local\r\n"
                                 "Sender: ICMP Echo Quillbin\r\nHWnd: " +
                                 std::to_string(m_window.Number()) +
                                 "\r\nEvent: OnApplicationBoot\r\nReference0: ICMP Echo Quillbin\r\n\r\n";
    EXPECT_EQ(m_notifier.SendSstpNotify(kStartupEventBody), 0u);
    // From a worker thread the dialog's handle still goes into wParam and the
    // "HWnd" line.
    unsigned workerFailures = 99;
    std::thread([&] { workerFailures = m_notifier.SendSstpNotify(kStartupEventBody); }).join();
    EXPECT_EQ(workerFailures, 0u);

    ASSERT_TRUE(host->WaitForRequests(2, 5000));
    std::vector<LoggedRequest> requests = host->Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const LoggedRequest& r : requests) {
        EXPECT_EQ(r.ghost, "Solo");
        EXPECT_EQ(r.hwnd, ghosts.handles[0]);
        EXPECT_EQ(r.dwData, 9801u);
        EXPECT_EQ(r.cbData, expected.size());
        EXPECT_EQ(r.bytes, expected);
        EXPECT_EQ(r.sender, m_window.Number());
    }
}

TEST_F(GhostNotifierTest, GhostWhoseWindowIsGoneCountsAsFailed) {
    auto host = StartHost({"First", "Second:gone", "Third"});
    ASSERT_TRUE(host->ready());
    GhostList ghosts = m_notifier.Ghosts();
    ASSERT_EQ(ghosts.size(), 3u);
    // The host destroys the window right after publishing; wait until it has.
    HWND second = reinterpret_cast<HWND>(static_cast<uintptr_t>(ghosts.handles[1]));
    ASSERT_TRUE(m_window.PumpUntil([&] { return !::IsWindow(second); }, 5000));

    EXPECT_EQ(m_notifier.SendSstpNotify(kStartupEventBody), 1u);
    ASSERT_TRUE(host->WaitForRequests(2, 5000));
    EXPECT_EQ(ReceivingGhosts(*host), (std::vector<std::string>{"First", "Third"}));
    // A stale handle stays listed until the next refresh.
    EXPECT_EQ(m_notifier.Ghosts().size(), 3u);
}

TEST_F(GhostNotifierTest, GhostAnsweringZeroCountsAsFailed) {
    auto host = StartHost({"Refuser:zero", "Taker"});
    ASSERT_TRUE(host->ready());
    EXPECT_EQ(m_notifier.SendSstpNotify(kClosingEventBody), 1u);
    ASSERT_TRUE(host->WaitForRequests(2, 5000));
    EXPECT_EQ(ReceivingGhosts(*host), (std::vector<std::string>{"Refuser", "Taker"}));
}

TEST_F(GhostNotifierTest, SlowGhostTimesOutAndTheNextIsServedAbout5sLater) {
    auto host = StartHost({"Slow:delay=6000", "Next"});
    ASSERT_TRUE(host->ready());
    DWORD start = ::GetTickCount();
    EXPECT_EQ(m_notifier.SendSstpNotify(kStartupEventBody), 1u);
    DWORD elapsed = ::GetTickCount() - start;
    EXPECT_GE(elapsed, 4500u);
    EXPECT_LT(elapsed, 9000u);

    ASSERT_TRUE(host->WaitForRequests(2, 5000));
    std::vector<LoggedRequest> requests = host->Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].ghost, "Slow");
    EXPECT_EQ(requests[1].ghost, "Next");
    uint32_t gap = requests[1].tick - requests[0].tick;
    EXPECT_GE(gap, 4500u);
    EXPECT_LT(gap, 8000u);
}

// The first ghost republishes an empty directory and sends "sakura"/1024 to
// the sender window while the main thread waits for its answer: the refresh
// runs inside the send, on the same thread, and must not empty the list the
// send is walking.
TEST_F(GhostNotifierTest, RefreshFromInsideAReplyWaitsForTheSendToEnd) {
    auto host = StartHost({"Reentrant:reentrant", "Second", "Third"});
    ASSERT_TRUE(host->ready());
    ASSERT_EQ(m_notifier.Ghosts().size(), 3u);
    // Refreshes due before the send are handled before it, so that the first
    // one counted after it is the ghost's. The host broadcasts only after a
    // command, never at start-up: what is due is queued already.
    DispatchQueued();
    const size_t refreshesBefore = m_window.Refreshes().size();

    EXPECT_EQ(m_notifier.SendSstpNotify(kStartupEventBody), 0u);

    ASSERT_TRUE(host->WaitForRequests(3, 5000));
    EXPECT_EQ(ReceivingGhosts(*host), (std::vector<std::string>{"Reentrant", "Second", "Third"}));
    // The "sakura" message came in during the send and was put off ...
    ASSERT_GT(m_window.Refreshes().size(), refreshesBefore);
    EXPECT_EQ(m_window.Refreshes()[refreshesBefore].result, 0);
    // ... and the refresh was done when the send ended: the list is empty now.
    EXPECT_EQ(m_notifier.Ghosts().size(), 0u);
    EXPECT_EQ(m_notifier.SendSstpNotify(kClosingEventBody), 0u);
    EXPECT_EQ(host->Requests().size(), 3u);
}

// A send on the worker thread holds the list while a ghost takes its time; a
// refresh on the window thread meanwhile returns at once and is done once the
// send is over.
TEST_F(GhostNotifierTest, RefreshOnTheWindowThreadDoesNotWaitForAWorkerSend) {
    auto host = StartHost({"Slow:delay=3000"});
    ASSERT_TRUE(host->ready());
    ASSERT_EQ(m_notifier.Ghosts().size(), 1u);

    std::atomic<bool> sendDone{false};
    std::thread worker([&] {
        m_notifier.SendSstpNotify(kStartupEventBody);
        sendDone = true;
    });
    // The worker is inside its send once the slow ghost has the request.
    ASSERT_TRUE(m_window.PumpUntil([&] { return host->Requests().size() >= 1; }, 5000));
    ASSERT_TRUE(host->Command("add Extra"));

    DWORD start = ::GetTickCount();
    int result = m_notifier.RefreshGhostList();
    DWORD elapsed = ::GetTickCount() - start;
    EXPECT_FALSE(sendDone.load()) << "the refresh waited for the send";
    EXPECT_EQ(result, 0);
    EXPECT_LT(elapsed, 1500u);

    const size_t refreshesBefore = m_window.Refreshes().size();
    bool refreshedAfterSend = m_window.PumpUntil(
        [&] {
            if (!sendDone) return false;
            const auto& refreshes = m_window.Refreshes();
            for (size_t i = refreshesBefore; i < refreshes.size(); ++i) {
                if (refreshes[i].result == 1) return true;
            }
            return false;
        },
        10000);
    worker.join();
    EXPECT_TRUE(refreshedAfterSend);
    EXPECT_EQ(m_notifier.Ghosts().size(), 2u);
}

TEST_F(GhostNotifierTest, FailedRefreshAfterAGoodOneLeavesTheListEmpty) {
    {
        auto host = StartHost({"Solo"});
        ASSERT_TRUE(host->ready());
        ASSERT_EQ(m_notifier.Ghosts().size(), 1u);
    }
    // The block goes with the host's last handle.
    ASSERT_TRUE(m_window.PumpUntil(
        [] {
            UniqueHandle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, "Sakura"));
            return !mapping;
        },
        5000));
    EXPECT_EQ(m_notifier.RefreshGhostList(), 0);
    EXPECT_EQ(m_notifier.Ghosts().size(), 0u);
    EXPECT_EQ(m_notifier.SendSstpNotify(kStartupEventBody), 0u);
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
    const std::vector<uint32_t> inOrder = m_notifier.Ghosts().handles, reversed(inOrder.rbegin(), inOrder.rend());
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
        std::vector<uint32_t> handles = m_notifier.Ghosts().handles;
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
    const std::vector<uint32_t> listed = m_notifier.Ghosts().handles;
    StallMeter stalls;
    ASSERT_TRUE(host->Command("hold 3000"));  // accepted once the host owns it
    const Clock::time_point held = Clock::now();
    std::atomic<bool> probing{true}, probed{false};
    std::vector<Span> probes, refreshes;
    std::thread prober([&] {
        for (DWORD_PTR ignored = 0; probing; ::Sleep(20)) {
            Clock::time_point sent = Clock::now();
            ::SendMessageTimeoutW(m_window.get(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
            probes.emplace_back(sent, Clock::now());
        }
        probed = true;
    });
    while (Ms(Clock::now() - held) < 2800) {
        Clock::time_point started = Clock::now();
        EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
        refreshes.emplace_back(started, Clock::now());
        m_window.PumpUntil([] { return false; }, 10);
    }
    probing = false;
    m_window.PumpUntil([&] { return probed.load(); }, 10000);  // a last probe may be on its way
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

    m_window.PumpUntil([&] { return Ms(Clock::now() - held) > 3200; }, 5000);
    EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
    EXPECT_EQ(m_notifier.Ghosts().handles, listed);
}

// The host dies owning the mutex; its block lives on while another handle to
// it is open (as when a second host shares it).
TEST_F(GhostNotifierTest, AHostThatDiesOwningTheMutexLeavesItToTheNextRefresh) {
    auto host = StartHost({"Alpha", "Beta"});
    ASSERT_TRUE(host->ready());
    const std::vector<uint32_t> listed = m_notifier.Ghosts().handles;
    UniqueHandle block(::OpenFileMappingA(FILE_MAP_READ, FALSE, kHostDirectoryName));
    ASSERT_TRUE(block);
    ASSERT_TRUE(host->Command("hold 60000"));
    {
        UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, host->ProcessId()));
        ASSERT_TRUE(process && ::TerminateProcess(process.get(), 1));
    }
    ASSERT_TRUE(host->WaitForExit(5000));

    EXPECT_EQ(m_notifier.RefreshGhostList(), 1);
    EXPECT_EQ(m_notifier.Ghosts().handles, listed);
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
