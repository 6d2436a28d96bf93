// The echo run's life on a real worker thread: closing at every step of a
// run, the settings of the press, and waits that messages re-enter. Run under
// ThreadSanitizer as well (build/tsan). Nothing sleeps: the fake holds the run
// at a step until the owning thread waits for it.
#include "echo/echo_worker_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "echo/echo_run.h"
#include "tests/echo/fake_echo_roles.h"

namespace quillbin {
namespace {

using namespace quillbin::testing;

const uint32_t kDestination = Ipv4(192, 0, 2, 7);

// What a waiter does in place of a window thread's wait: returns once the
// worker has ended, and leaves the join to EchoWorkerThread.
void AwaitEnd(const std::function<bool()>& ended) {
    while (!ended()) std::this_thread::yield();
}

// Fake bindings whose runs the test can hold at a step, and a count of the
// bindings that the worker thread has not let go yet.
class Scene {
public:
    Scene() { fake.names["echo.test"] = HostEntry{"echo.test", kDestination}; }

    // The run will wait at the `occurrence`th start of `step` until released.
    void HoldAt(std::string step, size_t occurrence = 1) {
        fake.atStep = [this, step = std::move(step), occurrence, seen = size_t{0}](std::string_view at) mutable {
            if (at != step || ++seen != occurrence) return;
            std::unique_lock<std::mutex> lock(m_mutex);
            m_arrived = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
        };
    }
    void AwaitArrival() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_arrived; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

    bool Start(EchoWorkerThread& thread, uint32_t count, std::string host = "echo.test") {
        PingSettings settings{std::move(host), count, 18, 0, 255};
        return thread.Start(settings, std::make_unique<Bindings>(*this),
                            [&thread] { EchoRun(thread.Settings(), thread.Roles()); });
    }

    FakeEchoRoles fake;
    int aliveBindings = 0;

private:
    class Bindings : public EchoRunBindings {
    public:
        explicit Bindings(Scene& scene) : m_scene(scene) { ++m_scene.aliveBindings; }
        ~Bindings() override { --m_scene.aliveBindings; }
        EchoRoles Roles(const StopSignal& stop) override { return m_scene.fake.Roles(stop); }

    private:
        Scene& m_scene;
    };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_arrived = false;
    bool m_released = false;
};

struct CloseCase {
    const char* holdAt;
    size_t occurrence;
    size_t lookups, echoes, notified;
};

TEST(EchoWorkerThread, ClosingAtEveryStepOfARunStopsItThereAndStartsNothingMore) {
    const CloseCase cases[] = {
        {"bind", 1, 0, 0, 0},    // before the lookup
        {"lookup", 1, 1, 0, 0},  // during the lookup: no ICMP handle either
        {"echo", 1, 1, 1, 0},    // during the first echo: its line, no more
        {"echo", 3, 1, 3, 0},    // during the third
        {"echo", 4, 1, 4, 0},    // during the last: every line, but no results
        {"notify", 1, 1, 4, 1},  // during the results delivery
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(std::string(c.holdAt) + " #" + std::to_string(c.occurrence));
        Scene t;
        t.HoldAt(c.holdAt, c.occurrence);
        // The run goes on only once the owning thread waits, as a window
        // thread carries out the run's messages only then.
        EchoWorkerThread thread([&](std::thread&, const auto& ended) {
            t.Release();
            AwaitEnd(ended);
        });
        ASSERT_TRUE(t.Start(thread, 4));
        t.AwaitArrival();
        thread.BeginClosing();
        EXPECT_FALSE(t.Start(thread, 4));
        thread.Wait();

        EXPECT_FALSE(thread.Running());
        EXPECT_EQ(t.aliveBindings, 0) << "the bindings outlived their worker";
        EXPECT_EQ(t.fake.nameLookups.size(), c.lookups);
        EXPECT_EQ(t.fake.sent.size(), c.echoes);
        EXPECT_EQ(t.fake.lines.size(), c.echoes);
        EXPECT_EQ(t.fake.notified.size(), c.notified);
        EXPECT_EQ(t.fake.EventsOf({"create"}).size(), c.echoes > 0 ? 1u : 0u) << "an ICMP handle for nothing";
        EXPECT_EQ(t.fake.openHandles + t.fake.openLibraries, 0);
    }
}

// Unheld, the stop meets the run wherever it is: what ThreadSanitizer has to
// look at. Whatever the step, the run ends whole.
TEST(EchoWorkerThread, ClosingWhileTheRunGoesFreelyEndsItWholeAtAnyStep) {
    for (int round = 0; round < 20; ++round) {
        Scene s;
        EchoWorkerThread thread;
        ASSERT_TRUE(s.Start(thread, 50));
        thread.BeginClosing();
        thread.Wait();
        EXPECT_EQ(s.aliveBindings, 0);
        EXPECT_EQ(s.fake.openHandles + s.fake.openLibraries, 0);
        EXPECT_EQ(s.fake.lines.size(), s.fake.sent.size());
        // Only a whole run has results to deliver, and even a whole one may
        // meet the stop after its last echo.
        EXPECT_LE(s.fake.notified.size(), s.fake.sent.size() == 50 ? 1u : 0u);
    }
}

TEST(EchoWorkerThread, OneRunAtATimeEachWithTheSettingsOfItsPressAndNoneOnceClosing) {
    Scene s;
    s.fake.names["other.test"] = HostEntry{"other.test", Ipv4(192, 0, 2, 8)};
    EchoWorkerThread thread;
    s.HoldAt("echo", 2);
    ASSERT_TRUE(s.Start(thread, 2));
    s.AwaitArrival();
    EXPECT_FALSE(s.Start(thread, 5, "other.test")) << "a press during the run";
    s.Release();
    thread.Wait();
    EXPECT_EQ(s.aliveBindings, 0);

    // The next press waits for what is left of the last worker, if anything.
    s.fake.atStep = nullptr;
    ASSERT_TRUE(s.Start(thread, 1, "other.test"));
    thread.Wait();
    ASSERT_EQ(s.fake.sent.size(), 3u);
    EXPECT_EQ(s.fake.sent[1].destination, kDestination);
    EXPECT_EQ(s.fake.sent[2].destination, Ipv4(192, 0, 2, 8));
    EXPECT_EQ(s.fake.notified.size(), 2u);

    // Closing between runs.
    thread.BeginClosing();
    EXPECT_FALSE(s.Start(thread, 1));
    thread.Wait();
    EXPECT_EQ(s.fake.sent.size(), 3u);
}

// While the owning thread waits it carries out messages, and one of them can
// be a press or another wait (the session ending while the dialog closes):
// the press starts nothing, and the inner wait too returns only once the
// worker has ended, so that its caller may save and report as after any wait.
TEST(EchoWorkerThread, AWaitReEnteredByMessagesWaitsForTheSameWorker) {
    Scene s;
    s.HoldAt("echo");
    bool pressStarted = true;
    bool endedAfterInnerWait = false;
    int waits = 0;
    EchoWorkerThread* self = nullptr;
    EchoWorkerThread thread([&](std::thread&, const auto& ended) {
        if (waits++ == 0) {
            pressStarted = s.Start(*self, 1);
            self->Wait();
            endedAfterInnerWait = ended();
        }
        s.Release();
        AwaitEnd(ended);
    });
    self = &thread;
    ASSERT_TRUE(s.Start(thread, 3));
    s.AwaitArrival();
    thread.BeginClosing();
    thread.Wait();

    EXPECT_FALSE(pressStarted);
    EXPECT_TRUE(endedAfterInnerWait) << "the inner wait returned while the worker ran";
    EXPECT_EQ(s.aliveBindings, 0);
    EXPECT_EQ(s.fake.sent.size(), 1u);
}

}  // namespace
}  // namespace quillbin
