// The notifier's policy against the orders of events it must survive: calls
// re-entered on the window thread from the wait of a send or of a refresh, and
// a worker's sends beside it. Run under ThreadSanitizer as well (build/tsan).
// Nothing sleeps: a worker waits at each delivery until it is let go.
#include "sstp/ghost_notifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace quillbin {
namespace {

using L = std::vector<uint32_t>;
using Listing = std::optional<L>;
using During = std::map<std::string, std::string>;
constexpr uint32_t kWindow = 7;

// Plays every role, on the thread that made it (the window thread) and on a
// worker, and logs each call as it returns: "read", "A>3" (ghost 3 answered
// send A), "post" ("post to a closed window" after the close), "wait" (for a
// lock another thread holds); the steps add "refresh=N" and "A=N" (N failed).
// `during`: steps run on the calling thread while the Nth read ("read N") or
// a delivery ("A>1") waits, as the messages sent meanwhile are.
class Scene : GhostListLock, HostDirectorySource, SstpDelivery, RefreshPoster, WindowThreads {
public:
    Scene(std::vector<Listing> reads, During during) : m_reads(std::move(reads)), m_during(std::move(during)) {
        m_notifier.SetSenderWindow(kWindow);
    }

    // Steps apart by "; ": "refresh", "send A", "worker A" (send A on a
    // worker, until it waits at a delivery or for the lock), "let go" (and
    // join it), "dispatch" (the window thread handles the refreshes posted to
    // it), "close".
    void Play(std::string_view script) {
        for (size_t at = 0, end = 0; at < script.size(); at = end + 2) {
            end = std::min(script.find("; ", at), script.size());
            Step(script.substr(at, end - at));
        }
    }

    std::string log;  // read once every thread has been let go

private:
    void Step(std::string_view step) {
        if (step == "refresh") return Log("refresh=" + std::to_string(m_notifier.RefreshGhostList()));
        if (step.starts_with("send ")) {
            return Log(step.back() + ("=" + std::to_string(m_notifier.SendSstpNotify(step.substr(5)))));
        }
        if (step.starts_with("worker ")) {
            m_worker = std::thread([this, send = std::string(step.substr(7))] { Play("send " + send); });
            return Await([this] { return m_held > m_released || log.ends_with("wait"); });
        }
        if (step == "let go") {
            Change([this] { ++m_released; });
            return m_worker.join();
        }
        if (step == "close") {
            m_notifier.SetSenderWindow(0);
            return Change([this] { m_closed = true; });
        }
        EXPECT_EQ(step, "dispatch");
        while (Change([this] { return std::exchange(m_posted, 0); }) > 0) Step("refresh");
    }

    void Lock() override {
        if (m_lock.try_lock()) return;
        Log("wait");
        m_lock.lock();
    }
    bool TryLock() override { return m_lock.try_lock(); }
    void Unlock() override { m_lock.unlock(); }
    std::optional<GhostList> Read() override {
        const size_t n = Change([this] { return ++m_readsDone; });
        if (auto steps = m_during.find("read " + std::to_string(n)); steps != m_during.end()) Play(steps->second);
        Log("read");
        if (n > m_reads.size() || !m_reads[n - 1]) return std::nullopt;
        return GhostList{std::vector<std::string>(m_reads[n - 1]->size()), *m_reads[n - 1]};
    }
    bool Deliver(uint32_t ghost, uint32_t senderWindow, std::string_view request) override {
        EXPECT_EQ(senderWindow, kWindow);
        // The body is the send's letter, before the closing CR LF.
        const std::string entry = request[request.size() - 3] + (">" + std::to_string(ghost));
        if (auto steps = m_during.find(entry); steps != m_during.end()) Play(steps->second);
        if (std::this_thread::get_id() != m_windowThread) {
            const int held = Change([this] { return ++m_held; });
            Await([&] { return m_released >= held; });
        }
        Log(entry);
        return true;
    }
    void PostRefresh(uint32_t /*window*/) override {
        Change([this] { ++m_posted; });
        Log(Change([this] { return m_closed; }) ? "post to a closed window" : "post");
    }
    bool IsCallingThreadOf(uint32_t window) override {
        return window == kWindow && std::this_thread::get_id() == m_windowThread;
    }

    void Log(const std::string& entry) {
        Change([&] { log += (log.empty() ? "" : " ") + entry; });
    }
    // Runs `change` under the scene's mutex, and wakes those who wait on it.
    template <typename F>
    auto Change(F change) -> decltype(change()) {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_changed.notify_all();
        return change();
    }
    template <typename F>
    void Await(F done) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_changed.wait_for(lock, std::chrono::seconds(10), done)) ADD_FAILURE() << "waited in vain: " << log;
    }

    GhostNotifier m_notifier{{.lock = *this, .directory = *this, .delivery = *this, .poster = *this, .threads = *this}};
    const std::vector<Listing> m_reads;
    const During m_during;
    const std::thread::id m_windowThread = std::this_thread::get_id();
    std::recursive_mutex m_lock;  // admits its holder again, as a critical section does
    std::thread m_worker;
    std::mutex m_mutex;  // over the log and all below
    std::condition_variable m_changed;
    size_t m_readsDone = 0;
    int m_held = 0, m_released = 0, m_posted = 0;
    bool m_closed = false;
};

TEST(GhostNotifier, EveryOrderOfEventsLeavesEachSendAWholeListAndDoesEachRefreshOnce) {
    // clang-format off
    // What the reads give, what runs during a wait, the steps, the log.
    const std::tuple<const char*, std::vector<Listing>, During, const char*, const char*> orders[] = {
        {"a refresh re-entered from a send's wait", {L{1, 2, 3}, L{}}, {{"A>1", "refresh"}},
         "refresh; send A; send Z", "read refresh=1 refresh=0 A>1 A>2 A>3 read A=0 Z=0"},
        {"two refreshes owed during one send", {L{1, 2}, L{3}}, {{"A>1", "refresh"}, {"A>2", "refresh"}},
         "refresh; send A; send Z", "read refresh=1 refresh=0 A>1 refresh=0 A>2 read A=0 Z>3 Z=0"},
        {"a send re-entered from a send's wait, a refresh owed before it", {L{1, 2}, L{3}},
         {{"A>1", "refresh; send X"}}, "refresh; send A; send Z",
         "read refresh=1 refresh=0 X>1 X>2 X=0 A>1 A>2 read A=0 Z>3 Z=0"},
        // The session ends while a host keeps its mutex: the closing event.
        {"a send re-entered from a refresh's wait", {L{1, 2}, L{3}}, {{"read 2", "send X"}},
         "refresh; refresh; send Z", "read refresh=1 X>1 X>2 X=0 read refresh=1 Z>3 Z=0"},
        {"a refresh re-entered from a refresh's wait", {L{1}, L{2}}, {{"read 2", "refresh"}},
         "refresh; refresh; send Z", "read refresh=1 refresh=0 read refresh=1 Z>2 Z=0"},
        {"a refresh during a worker's send", {L{1}, L{1, 9}}, {},
         "refresh; worker W; refresh; let go; dispatch; send Z",
         "read refresh=1 refresh=0 W>1 post W=0 read refresh=1 Z>1 Z>9 Z=0"},
        {"the posted refresh meets the next worker's send", {L{1}, L{2}}, {},
         "refresh; worker W; refresh; let go; worker V; dispatch; let go; dispatch; send Z",
         "read refresh=1 refresh=0 W>1 post W=0 refresh=0 V>1 post V=0 read refresh=1 Z>2 Z=0"},
        {"a worker's send during a refresh's wait", {L{1}, L{2}}, {{"read 2", "worker W"}},
         "refresh; refresh; let go", "read refresh=1 wait read refresh=1 W>2 W=0"},
        {"the window closes during a worker's send", {L{1}}, {},
         "refresh; worker W; refresh; close; let go", "read refresh=1 refresh=0 W>1 W=0"},
        {"a failed refresh after a good one", {L{1, 2}, std::nullopt}, {},
         "refresh; refresh; send Z", "read refresh=1 read refresh=0 Z=0"},
    };
    // clang-format on
    for (const auto& [order, reads, during, script, log] : orders) {
        SCOPED_TRACE(order);
        Scene scene(reads, during);
        scene.Play(script);
        EXPECT_EQ(scene.log, log);
    }
}

}  // namespace
}  // namespace quillbin
