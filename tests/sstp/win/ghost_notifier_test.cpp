// The notifier against the demo ghost host, with a window of the test's main
// thread standing in for the dialog.
#include "sstp/win/ghost_notifier.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "sstp/sstp_request.h"
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

}  // namespace
}  // namespace quillbin::win
