#include "echo/echo_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/cp932_texts.h"
#include "tests/echo/fake_echo_roles.h"

namespace quillbin {
namespace {

using namespace quillbin::testing;

const uint32_t kDestination = Ipv4(192, 0, 2, 7);
const uint32_t kRouter = Ipv4(198, 51, 100, 1);
const std::string kSoh = "\x01";

PingSettings Settings(uint32_t count, uint32_t dataSize = 18, uint32_t ttl = 255, int32_t dontFragment = 0) {
    PingSettings settings;
    settings.host = "echo.test";
    settings.count = count;
    settings.dataSize = dataSize;
    settings.ttl = ttl;
    settings.dontFragment = dontFragment;
    return settings;
}

class EchoRunTest : public ::testing::Test {
protected:
    EchoRunTest() { fake.names["echo.test"] = HostEntry{"echo.test", kDestination}; }

    // The Reference lines of the body, after its event line.
    std::vector<std::string> ReferenceLines() const {
        std::vector<std::string> out;
        const std::string& body = fake.notified.at(0);
        size_t start = body.find("\r\n") + 2;
        for (size_t end; (end = body.find("\r\n", start)) != std::string::npos; start = end + 2) {
            out.push_back(body.substr(start, end + 2 - start));
        }
        return out;
    }

    FakeEchoRoles fake;
};

TEST_F(EchoRunTest, EachOutcomeHasItsListLineAndReferenceLine) {
    fake.respond = [](uint32_t index, const SentEcho& sent) {
        switch (index) {
        case 0:
            return Echoed(sent.destination, sent.payload, 12, 64);
        case 1:
            return Failed(11013, kRouter, 3, 254);
        case 2:
            return Failed(11010, 0, 0);
        default: {
            std::string changed = sent.payload;
            changed[5] ^= 0x01;
            return Echoed(sent.destination, changed, 1234, 63);
        }
        }
    };
    EchoRun(Settings(4), fake.Roles());

    const std::vector<std::string> lines = {
        "OK 192.0.2.7 Time=12ms TTL=64 (18 : " + kCyclePhraseText.cp932 + ")",
        "NG 198.51.100.1 Time=3ms TTL=254 (ERR : " + kTtlExpiredTransitText.cp932 + ")",
        "NG " + kTimedOutText.cp932,
        "NG 192.0.2.7 Time=1234ms TTL=63 (ERR : " + kWrongDataText.cp932 + ")",
    };
    EXPECT_EQ(fake.lines, lines);

    // clang-format off
    const std::string body = "Event: OnICMPEchoComplete\r\n"
                             "Reference0: OK" + kSoh + "192.0.2.7" + kSoh + "12" + kSoh + "64\r\n"
                             "Reference1: " + kTtlExpiredTransitText.cp932 + kSoh + "198.51.100.1" + kSoh + "3" + kSoh + "254\r\n"
                             "Reference2: " + kTimedOutText.cp932 + kSoh + kSoh + kSoh + "\r\n"
                             "Reference3: " + kWrongDataText.cp932 + kSoh + "192.0.2.7" + kSoh + "1234" + kSoh + "63\r\n";
    // clang-format on
    ASSERT_EQ(fake.notified.size(), 1u);
    EXPECT_EQ(fake.notified[0], body);
    EXPECT_EQ(fake.statuses.back(), "OK=1 NG=3");
}

TEST_F(EchoRunTest, ATimeOutOfTheFourthEchoWhetherOrNotTheRecordWasWritten) {
    for (bool written : {true, false}) {
        SCOPED_TRACE(written ? "written" : "unwritten");
        FakeEchoRoles run;
        run.names = fake.names;
        run.respond = [written](uint32_t index, const SentEcho& sent) {
            if (index != 3) return Echoed(sent.destination, sent.payload, 1);
            return written ? Failed(11010, 0, 5000) : Unwritten(11010, 5000);
        };
        EchoRun(Settings(5), run.Roles());
        ASSERT_EQ(run.lines.size(), 5u);
        EXPECT_EQ(run.lines[3], "NG " + kTimedOutText.cp932);
        ASSERT_EQ(run.notified.size(), 1u);
        EXPECT_NE(run.notified[0].find("\r\nReference3: " + kTimedOutText.cp932 + "\x01\x01\x01\r\nReference4: "),
                  std::string::npos);
        EXPECT_EQ(run.statuses.back(), "OK=4 NG=1");
    }
}

TEST_F(EchoRunTest, AnUnknownStatusHasAnEmptyText) {
    fake.respond = [](uint32_t, const SentEcho&) { return Failed(11030, kRouter, 7, 9); };
    EchoRun(Settings(1), fake.Roles());
    EXPECT_EQ(fake.lines, std::vector<std::string>{"NG "});
    EXPECT_EQ(fake.notified.at(0), "Event: OnICMPEchoComplete\r\nReference0: \x01\x01\x01\r\n");
}

TEST_F(EchoRunTest, AnUnwrittenReplyIsNeverReadEvenWhenItLooksGood) {
    fake.respond = [](uint32_t, const SentEcho& sent) {
        // A stale record that would pass for a good reply if it were read.
        ScriptedEcho stale = Echoed(sent.destination, sent.payload, 5);
        stale.reply.written = false;
        stale.reply.lastError = 1231;  // not an IP status
        return stale;
    };
    EchoRun(Settings(2), fake.Roles());
    EXPECT_EQ(fake.lines,
              (std::vector<std::string>{"NG " + kGeneralFailureText.cp932, "NG " + kGeneralFailureText.cp932}));
    EXPECT_EQ(fake.statuses.back(), "NG=2");
}

TEST_F(EchoRunTest, AnUnwrittenTtlExpiryShowsNoNodeItNeverRead) {
    fake.respond = [](uint32_t, const SentEcho&) { return Unwritten(11013, 2); };
    EchoRun(Settings(1), fake.Roles());
    EXPECT_EQ(fake.lines, std::vector<std::string>{"NG " + kTtlExpiredTransitText.cp932});
    EXPECT_EQ(fake.notified.at(0),
              "Event: OnICMPEchoComplete\r\nReference0: " + kTtlExpiredTransitText.cp932 + "\x01\x01\x01\r\n");
}

TEST_F(EchoRunTest, DataOutsideTheReplyAreaIsAMismatch) {
    fake.respond = [](uint32_t, const SentEcho& sent) {
        ScriptedEcho echo = Echoed(sent.destination, sent.payload, 4);
        echo.data.reset();  // DataSize still claims the full 18 bytes
        return echo;
    };
    EchoRun(Settings(1), fake.Roles());
    EXPECT_EQ(fake.lines,
              std::vector<std::string>{"NG 192.0.2.7 Time=4ms TTL=64 (ERR : " + kWrongDataText.cp932 + ")"});
}

TEST_F(EchoRunTest, ADifferentLengthIsAMismatch) {
    for (size_t length : {17u, 19u, 0u}) {
        FakeEchoRoles run;
        run.names = fake.names;
        run.respond = [length](uint32_t, const SentEcho& sent) {
            return Echoed(sent.destination, (sent.payload + "m").substr(0, length), 4);
        };
        EchoRun(Settings(1), run.Roles());
        EXPECT_EQ(run.lines.at(0).substr(0, 3), "NG ") << length;
        EXPECT_EQ(run.statuses.back(), "NG=1") << length;
    }
}

TEST_F(EchoRunTest, DataSizeZeroSendsNoDataAndAnEmptyReplyIsOk) {
    EchoRun(Settings(2, 0), fake.Roles());
    ASSERT_EQ(fake.sent.size(), 2u);
    EXPECT_EQ(fake.sent[0].payload, "");
    EXPECT_EQ(fake.lines.at(0), "OK 192.0.2.7 Time=10ms TTL=64 (0 : )");
    EXPECT_EQ(fake.statuses.back(), "OK=2");
}

TEST_F(EchoRunTest, ADataSizeBeyondTheLargestIsCappedNotWrittenPastThePayloadArea) {
    EchoRun(Settings(1, 4000), fake.Roles());
    ASSERT_EQ(fake.sent.size(), 1u);
    EXPECT_EQ(fake.sent[0].payload.size(), 1500u);
    EXPECT_EQ(fake.statuses.back(), "OK=1");
}

struct CountsCase {
    uint32_t ok;
    uint32_t ng;
    const char* status;
};

TEST_F(EchoRunTest, TheStatusLineNamesOnlyTheCountsThatMatter) {
    for (const CountsCase& c : {CountsCase{10, 0, "OK=10"}, CountsCase{0, 10, "NG=10"}, CountsCase{7, 3, "OK=7 NG=3"},
                                CountsCase{1, 0, "OK=1"}, CountsCase{0, 1, "NG=1"}, CountsCase{0, 0, "NG=0"}}) {
        FakeEchoRoles run;
        run.names = fake.names;
        const uint32_t okCount = c.ok;
        run.respond = [okCount](uint32_t index, const SentEcho& sent) {
            return index < okCount ? Echoed(sent.destination, sent.payload, 1) : Failed(11003, kRouter, 1);
        };
        EchoRun(Settings(c.ok + c.ng), run.Roles());
        EXPECT_EQ(run.statuses, (std::vector<std::string>{"Working...", c.status}));
        EXPECT_EQ(run.lines.size(), c.ok + c.ng);
    }
}

TEST_F(EchoRunTest, ACountOfZeroSendsNothingButStillReports) {
    EchoRun(Settings(0), fake.Roles());
    EXPECT_TRUE(fake.sent.empty());
    EXPECT_TRUE(fake.lines.empty());
    EXPECT_TRUE(fake.sleeps.empty());
    EXPECT_EQ(fake.statuses.back(), "NG=0");
    EXPECT_EQ(fake.notified, std::vector<std::string>{"Event: OnICMPEchoComplete\r\n"});
}

TEST_F(EchoRunTest, ReferenceLinesAreNumberedWithoutGaps) {
    fake.respond = [](uint32_t index, const SentEcho& sent) {
        switch (index % 4) {
        case 0:
            return Echoed(sent.destination, sent.payload, 2);
        case 1:
            return Unwritten(11010, 5000);
        case 2:
            return Failed(11014, kRouter, 2);
        default:
            return Echoed(sent.destination, "x", 2);
        }
    };
    EchoRun(Settings(23), fake.Roles());
    const std::vector<std::string> references = ReferenceLines();
    ASSERT_EQ(references.size(), 23u);
    ASSERT_EQ(fake.lines.size(), 23u);
    for (size_t i = 0; i < references.size(); ++i) {
        EXPECT_EQ(references[i].rfind("Reference" + std::to_string(i) + ": ", 0), 0u) << references[i];
    }
    EXPECT_EQ(fake.statuses.back(), "OK=6 NG=17");
}

struct OptionsCase {
    uint32_t ttl;
    int32_t dontFragment;
    uint8_t wireTtl;
    uint8_t flags;
};

TEST_F(EchoRunTest, EveryEchoCarriesTheRequestOptionsAndThePayload) {
    for (const OptionsCase& c : {OptionsCase{255, 0, 255, 0x00}, OptionsCase{1, 1, 1, 0x02},
                                 OptionsCase{64, 7, 64, 0x02}, OptionsCase{0x12C, 0, 0x2C, 0x00}}) {
        FakeEchoRoles run;
        run.names = fake.names;
        EchoRun(Settings(3, 34, c.ttl, c.dontFragment), run.Roles());
        ASSERT_EQ(run.sent.size(), 3u);
        for (const SentEcho& echo : run.sent) {
            EXPECT_EQ(echo.options.ttl, c.wireTtl) << c.ttl;
            EXPECT_EQ(echo.options.flags, c.flags) << c.dontFragment;
            EXPECT_EQ(echo.destination, kDestination);
            EXPECT_EQ(echo.payload.size(), 34u);
            EXPECT_EQ(echo.payload, run.sent[0].payload);
        }
    }
}

struct ResolveCase {
    const char* host;
    bool dotted;    // parses as an address (to 203.0.113.9)
    bool hasEntry;  // the lookup of its kind finds an entry
    const char* stdoutText;
};

TEST_F(EchoRunTest, ResolvesNamesAndAddressesAndPingsTheFirstAddress) {
    const uint32_t parsed = Ipv4(203, 0, 113, 9);
    const uint32_t entryAddress = Ipv4(203, 0, 113, 10);
    for (const ResolveCase& c : {
             ResolveCase{"host.test", false, true, "\nPinging official.test [203.0.113.10]"},
             ResolveCase{"203.0.113.9", true, true, "\nPinging official.test [203.0.113.10]"},
             // Mended: an address without a reverse entry is still pinged.
             ResolveCase{"203.0.113.9", true, false, "\nPinging 203.0.113.9 [203.0.113.9]"},
             // Parses to INADDR_NONE, so it can only be a name.
             ResolveCase{"255.255.255.255", false, true, "\nPinging official.test [203.0.113.10]"},
         }) {
        SCOPED_TRACE(c.host);
        FakeEchoRoles run;
        if (c.dotted) run.dottedHosts[c.host] = parsed;
        if (std::string(c.host) == "255.255.255.255") run.dottedHosts[c.host] = kInaddrNone;
        if (c.hasEntry) {
            run.names[c.host] = HostEntry{"official.test", entryAddress};
            run.reverseNames[parsed] = HostEntry{"official.test", entryAddress};
        }
        PingSettings settings = Settings(2);
        settings.host = c.host;
        EchoRun(settings, run.Roles());

        EXPECT_EQ(run.nameLookups.size(), c.dotted ? 0u : 1u);
        EXPECT_EQ(run.addressLookups, c.dotted ? std::vector<uint32_t>{parsed} : std::vector<uint32_t>{});
        EXPECT_EQ(run.out, c.stdoutText);
        ASSERT_EQ(run.sent.size(), 2u);
        EXPECT_EQ(run.sent[1].destination, c.hasEntry ? entryAddress : parsed);
        EXPECT_EQ(run.notified.size(), 1u);
    }
}

struct EarlyEndCase {
    const char* name;
    std::optional<IcmpBindError> bindError;
    bool lookupFails;
    bool createFails;
    std::string line;
    std::string stderrText;  // "?" when any text will do
    std::vector<std::string> events;
};

TEST_F(EchoRunTest, EarlyEndsShowOneLineReleaseWhatWasTakenAndReportNothing) {
    const std::vector<EarlyEndCase> cases = {
        {"no library",
         IcmpBindError::NoLibrary,
         false,
         false,
         kIcmpUnavailableText.cp932,
         "",
         {"clear", "status", "bind", "line"}},
        {"no entry point",
         IcmpBindError::NoEntryPoint,
         false,
         false,
         kIcmpUnavailableText.cp932,
         "\nError getting ICMP proc address\n",
         {"clear", "status", "bind", "stderr", "line"}},
        {"no host entry",
         std::nullopt,
         true,
         false,
         kHostLookupFailedText.cp932,
         "",
         {"clear", "status", "bind", "line", "free"}},
        // Mended: a failed IcmpCreateFile sends nothing through a bad handle.
        {"no ICMP handle",
         std::nullopt,
         false,
         true,
         kIcmpUnavailableText.cp932,
         "?",
         {"clear", "status", "bind", "stdout", "create", "stderr", "line", "free"}},
    };
    for (const EarlyEndCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEchoRoles run;
        run.bindError = c.bindError;
        if (!c.lookupFails) run.names = fake.names;
        run.createHandleFails = c.createFails;
        EchoRun(Settings(3), run.Roles());

        EXPECT_EQ(run.events, c.events);
        EXPECT_EQ(run.lines, std::vector<std::string>{c.line});
        EXPECT_EQ(run.statuses, std::vector<std::string>{"Working..."});
        if (c.stderrText == "?") {
            EXPECT_FALSE(run.err.empty());
        } else {
            EXPECT_EQ(run.err, c.stderrText);
        }
        EXPECT_EQ(run.openLibraries, 0);
        EXPECT_EQ(run.openHandles, 0);
    }
}

TEST_F(EchoRunTest, ACompletedRunReleasesEverythingBeforeItReports) {
    EchoRun(Settings(2), fake.Roles());
    EXPECT_EQ(fake.EventsOf({"clear", "bind", "create", "echo", "close", "free", "status", "notify"}),
              (std::vector<std::string>{"clear", "status", "bind", "create", "echo", "echo", "close", "free", "status",
                                        "notify"}));
    EXPECT_FALSE(fake.handleOutlivedLibrary);
    EXPECT_EQ(fake.out, "\nPinging echo.test [192.0.2.7]");
    EXPECT_TRUE(fake.err.empty());
}

TEST_F(EchoRunTest, ListLinesAreAddedAsEachEchoEnds) {
    EchoRun(Settings(3), fake.Roles());
    EXPECT_EQ(fake.EventsOf({"echo", "line", "sleep"}),
              (std::vector<std::string>{"echo", "line", "sleep", "echo", "line", "sleep", "echo", "line"}));
}

TEST_F(EchoRunTest, AStopRequestEndsTheRunAtTheNextEchoWithoutReporting) {
    for (size_t stopAfter : {0u, 1u, 3u, 5u}) {
        SCOPED_TRACE(stopAfter);
        FakeEchoRoles run;
        run.names = fake.names;
        run.stopAfterEchoes = stopAfter;
        EchoRun(Settings(5), run.Roles());
        EXPECT_EQ(run.sent.size(), stopAfter);
        EXPECT_EQ(run.lines.size(), stopAfter);
        EXPECT_TRUE(run.notified.empty());
        EXPECT_EQ(run.statuses, std::vector<std::string>{"Working..."});
        EXPECT_EQ(run.openLibraries, 0);
        EXPECT_EQ(run.openHandles, 0);
        EXPECT_FALSE(run.handleOutlivedLibrary);
    }
}

TEST_F(EchoRunTest, ASecondRunStartsFromAClearedList) {
    EchoRun(Settings(1), fake.Roles());
    fake.bindError = IcmpBindError::NoLibrary;
    EchoRun(Settings(1), fake.Roles());
    EXPECT_EQ(std::count(fake.events.begin(), fake.events.end(), "clear"), 2);
    const auto secondClear = std::find(fake.events.rbegin(), fake.events.rend(), "clear");
    EXPECT_EQ(std::distance(fake.events.rbegin(), secondClear), 3);  // then status, bind, line
}

}  // namespace
}  // namespace quillbin
