// The echo run's life on a real worker thread: closing at every step of a
// run, the settings of the press, and waits that messages re-enter. Run under
// ThreadSanitizer as well (build/tsan). Nothing sleeps: the fake holds the run
// at a step until the test lets it go.
#include "echo/echo_runner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "tests/echo/fake_echo_platform.h"

namespace quillbin {
namespace {

using namespace quillbin::testing;

// Holds the run when it reaches a step, until released.
class Hold {
public:
    Hold(FakeEchoPlatform& fake, std::string step, size_t occurrence = 1) {
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

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_arrived = false;
    bool m_released = false;
};

class FakeRunPlatform : public EchoRunPlatform {
public:
    FakeRunPlatform(FakeEchoPlatform& fake, int& alive) : m_fake(fake), m_alive(alive) { ++m_alive; }
    ~FakeRunPlatform() override { --m_alive; }
    EchoPlatform Roles(const StopSignal& stop) override { return m_fake.Platform(stop); }

private:
    FakeEchoPlatform& m_fake;
    int& m_alive;
};

PingSettings Settings(uint32_t count) {
    PingSettings settings;
    settings.host = "echo.test";
    settings.count = count;
    settings.dataSize = 18;
    settings.ttl = 255;
    return settings;
}

struct Closed {
    size_t lookups;
    size_t echoes;
    size_t lines;
    size_t notified;
};

struct CloseCase {
    const char* when;
    const char* holdAt;
    size_t occurrence;
    Closed expected;
};

TEST(EchoRunner, ClosingAtEveryStepOfARunStopsItThereAndStartsNothingMore) {
    const CloseCase cases[] = {
        {"before the lookup", "bind", 1, {0, 0, 0, 0}},
        {"during the lookup", "lookup", 1, {1, 0, 0, 0}},
        {"during the first echo", "echo", 1, {1, 1, 1, 0}},
        {"during the third echo", "echo", 3, {1, 3, 3, 0}},
        {"during the results delivery", "notify", 1, {1, 4, 4, 1}},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.when);
        FakeEchoPlatform fake;
        fake.names["echo.test"] = HostEntry{"echo.test", Ipv4(192, 0, 2, 7)};
        Hold hold(fake, c.holdAt, c.occurrence);
        int alive = 0;
        // The owning thread lets the run go only once it waits, as a window
        // thread carries out the run's messages only then.
        EchoRunner runner([&](std::thread& worker) {
            hold.Release();
            worker.join();
        });

        ASSERT_TRUE(runner.Start(Settings(4), std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
        hold.AwaitArrival();
        runner.BeginClosing();
        EXPECT_FALSE(runner.Start(Settings(4), std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
        runner.Wait();

        EXPECT_FALSE(runner.Running());
        EXPECT_EQ(alive, 0) << "the platform outlived its worker";
        EXPECT_EQ(fake.nameLookups.size(), c.expected.lookups);
        EXPECT_EQ(fake.sent.size(), c.expected.echoes);
        EXPECT_EQ(fake.lines.size(), c.expected.lines);
        EXPECT_EQ(fake.notified.size(), c.expected.notified);
        EXPECT_EQ(fake.statuses.back(), c.expected.notified ? "OK=4" : "Working...");
        EXPECT_EQ(fake.openHandles, 0);
        EXPECT_EQ(fake.openLibraries, 0);
    }
}

TEST(EchoRunner, BetweenRunsAPressStartsTheNextAndClosingStartsNothing) {
    FakeEchoPlatform fake;
    fake.names["echo.test"] = HostEntry{"echo.test", Ipv4(192, 0, 2, 7)};
    int alive = 0;
    EchoRunner runner;
    Hold hold(fake, "notify");
    ASSERT_TRUE(runner.Start(Settings(1), std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
    hold.AwaitArrival();
    // One run at a time: a press while the results go out starts nothing.
    EXPECT_FALSE(runner.Start(Settings(1), std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
    hold.Release();
    runner.Wait();
    EXPECT_EQ(alive, 0);

    fake.atStep = nullptr;
    ASSERT_TRUE(runner.Start(Settings(2), std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
    runner.Wait();
    EXPECT_EQ(fake.notified.size(), 2u);
    EXPECT_EQ(fake.sent.size(), 3u);

    runner.BeginClosing();
    EXPECT_FALSE(runner.Start(Settings(2), std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
    runner.Wait();
    EXPECT_EQ(fake.sent.size(), 3u);
    EXPECT_EQ(alive, 0);
}

TEST(EchoRunner, TheRunKeepsTheSettingsOfItsPress) {
    FakeEchoPlatform fake;
    fake.names["echo.test"] = HostEntry{"echo.test", Ipv4(192, 0, 2, 7)};
    fake.names["other.test"] = HostEntry{"other.test", Ipv4(192, 0, 2, 8)};
    int alive = 0;
    EchoRunner runner;
    Hold hold(fake, "echo");
    PingSettings settings = Settings(2);
    ASSERT_TRUE(runner.Start(settings, std::make_unique<FakeRunPlatform>(fake, alive), [&] { runner.Run(); }));
    hold.AwaitArrival();
    // What the window thread's read-back of the fields does meanwhile.
    settings = Settings(5);
    settings.host = "other.test";
    settings.ttl = 1;
    hold.Release();
    runner.Wait();
    ASSERT_EQ(fake.sent.size(), 2u);
    EXPECT_EQ(fake.sent[1].destination, Ipv4(192, 0, 2, 7));
    EXPECT_EQ(fake.sent[1].options.ttl, 255);
}

// While the owning thread waits it carries out messages, and one of them can
// be a press or another close: neither may start a worker nor take the one
// being waited for.
TEST(EchoRunner, AWaitReEnteredByMessagesStillWaitsForItsOwnWorker) {
    FakeEchoPlatform fake;
    fake.names["echo.test"] = HostEntry{"echo.test", Ipv4(192, 0, 2, 7)};
    int alive = 0;
    int workersStarted = 0;
    Hold hold(fake, "echo");
    EchoRunner* self = nullptr;
    bool pressStarted = true;
    int aliveDuringWait = 0;
    EchoRunner runner([&](std::thread& worker) {
        pressStarted = self->Start(Settings(1), std::make_unique<FakeRunPlatform>(fake, alive), [&] { self->Run(); });
        self->Wait();
        aliveDuringWait = alive;
        hold.Release();
        worker.join();
    });
    self = &runner;
    auto body = [&] {
        ++workersStarted;
        runner.Run();
    };
    ASSERT_TRUE(runner.Start(Settings(3), std::make_unique<FakeRunPlatform>(fake, alive), body));
    hold.AwaitArrival();
    runner.BeginClosing();
    runner.Wait();

    EXPECT_FALSE(pressStarted);
    EXPECT_EQ(aliveDuringWait, 1) << "the platform went while its worker ran";
    EXPECT_EQ(workersStarted, 1);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(fake.sent.size(), 1u);
}

}  // namespace
}  // namespace quillbin
