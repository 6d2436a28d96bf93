// The pauses between echoes, on the fake's simulated clock.
#include "echo/echo_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/echo/fake_echo_roles.h"

namespace quillbin {
namespace {

using namespace quillbin::testing;

const uint32_t kDestination = Ipv4(192, 0, 2, 7);

// Runs `count` echoes whose round trips take the given times (the last one
// repeats) and returns the pauses made.
std::vector<uint32_t> Pauses(uint32_t count, const std::vector<uint32_t>& roundTrips, uint32_t clockStart = 1000,
                             uint32_t lookupTakesMs = 0) {
    FakeEchoRoles fake;
    fake.names["echo.test"] = HostEntry{"echo.test", kDestination};
    fake.clock = clockStart;
    fake.lookupTakesMs = lookupTakesMs;
    fake.respond = [roundTrips](uint32_t index, const SentEcho& sent) {
        const uint32_t rtt = roundTrips[std::min<size_t>(index, roundTrips.size() - 1)];
        return Echoed(sent.destination, sent.payload, rtt);
    };
    PingSettings settings;
    settings.host = "echo.test";
    settings.count = count;
    settings.dataSize = 18;
    settings.ttl = 255;
    EchoRun(settings, fake.Roles());
    EXPECT_EQ(fake.sent.size(), count);
    const std::vector<std::string> echoesAndPauses = fake.EventsOf({"echo", "sleep"});
    if (!echoesAndPauses.empty()) {
        EXPECT_NE(echoesAndPauses.back(), "sleep") << "paused after the last echo";
    }
    return fake.sleeps;
}

using Series = std::vector<uint32_t>;

TEST(EchoPacing, ARunOfOneEchoMakesNoPause) {
    EXPECT_EQ(Pauses(1, {10}), Series{});
    EXPECT_EQ(Pauses(0, {10}), Series{});
}

TEST(EchoPacing, PausesGrowByTheRoundTripAndStartOverAtFiveHundred) {
    // 100, then 100 + 100 since the mark, and so on; the fifth echo ends 500
    // after the mark and gets no pause.
    EXPECT_EQ(Pauses(12, {100}), (Series{100, 200, 300, 400, 100, 200, 300, 400, 100}));
    EXPECT_EQ(Pauses(2, {499}), (Series{499}));
    EXPECT_EQ(Pauses(4, {250}), (Series{250, 250}));
    EXPECT_EQ(Pauses(5, {0}), (Series{0, 0, 0, 0}));
}

TEST(EchoPacing, TheTickCountMayWrapDuringTheRun) {
    EXPECT_EQ(Pauses(12, {100}, 0xFFFFFFFFu - 250), (Series{100, 200, 300, 400, 100, 200, 300, 400, 100}));
    EXPECT_EQ(Pauses(3, {70}, 0xFFFFFFFFu - 69), (Series{70, 140}));
}

TEST(EchoPacing, NoPauseFollowsAnEchoOfFiveHundredOrMore) {
    EXPECT_EQ(Pauses(4, {500}), Series{});
    EXPECT_EQ(Pauses(4, {5000, 5000, 30}), (Series{30}));
    // A time-out in the middle: no pause after it, then the series starts again.
    EXPECT_EQ(Pauses(5, {20, 5000, 20}), (Series{20, 20, 40}));
}

TEST(EchoPacing, TheFirstIntervalCountsFromAfterTheHostLookup) {
    EXPECT_EQ(Pauses(3, {50}, 1000, 300), (Series{50, 100}));
    EXPECT_EQ(Pauses(3, {50}, 1000, 4000), (Series{50, 100}));
}

}  // namespace
}  // namespace quillbin
