// The echo driver's output is what the lab compares exactly, so its escaping
// and masking must be unambiguous and must not hide real differences.
#include <gtest/gtest.h>

#include "tools/echo_driver/driver_options.h"
#include "tools/echo_driver/driver_text.h"

namespace quillbin {
namespace {

struct TextCase {
    std::string_view in;
    std::string_view out;
};

TEST(EscapeControlBytes, EscapesControlBytesAndBackslashOnly) {
    const TextCase cases[] = {
        {"plain text", "plain text"},
        {"a\r\nb", "a\\r\\nb"},
        {std::string_view("\x01\x00\x1F\x7F", 4), "\\x01\\x00\\x1F\\x7F"},
        {"back\\slash", "back\\\\slash"},
        {"tab\t", "tab\\t"},
        // UTF-8 multi-byte characters pass untouched.
        {"\xE3\x82\x82\xE3\x81\x93", "\xE3\x82\x82\xE3\x81\x93"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(EscapeControlBytes(c.in), c.out) << c.in;
}

TEST(MaskListLineTime, MasksOnlyAWholeTimeField) {
    const TextCase cases[] = {
        {"OK 1.2.3.4 Time=12ms TTL=63 (18 : x)", "OK 1.2.3.4 Time=*ms TTL=63 (18 : x)"},
        {"NG 1.2.3.4 Time=0ms TTL=64 (ERR : y)", "NG 1.2.3.4 Time=*ms TTL=64 (ERR : y)"},
        // Only the first field: a payload that looks like one stays as it is.
        {"OK a Time=1ms TTL=1 (9 : Time=2ms)", "OK a Time=*ms TTL=1 (9 : Time=2ms)"},
        {"NG timeout text", "NG timeout text"},
        {"Time=ms", "Time=ms"},
        {"Time=12s", "Time=12s"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(MaskListLineTime(c.in), c.out) << c.in;
}

TEST(MaskReferenceLineTime, MasksTheThirdOfFourFields) {
    // clang-format off
    const TextCase cases[] = {
        {"Reference0: OK\x01" "1.2.3.4\x01" "17\x01" "63\r\n", "Reference0: OK\x01" "1.2.3.4\x01*\x01" "63\r\n"},
        // A status failure has empty fields: nothing to mask.
        {"Reference3: t\x01\x01\x01\r\n", "Reference3: t\x01\x01\x01\r\n"},
        {"Event: OnICMPEchoComplete\r\n", "Event: OnICMPEchoComplete\r\n"},
        {"a\x01" "b\x01" "1\x01" "2\x01" "3\r\n", "a\x01" "b\x01" "1\x01" "2\x01" "3\r\n"},
        {"a\x01" "b\x01" "x1\x01" "2\r\n", "a\x01" "b\x01" "x1\x01" "2\r\n"},
    };
    // clang-format on
    for (const TextCase& c : cases) EXPECT_EQ(MaskReferenceLineTime(c.in), c.out) << EscapeControlBytes(c.in);
}

TEST(SplitBodyLines, CutsAfterEveryCrLf) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitBodyLines("A\r\nB\r\n"), (Lines{"A\r\n", "B\r\n"}));
    EXPECT_EQ(SplitBodyLines("A\r\nrest"), (Lines{"A\r\n", "rest"}));
    EXPECT_EQ(SplitBodyLines("A\nB\r\n"), (Lines{"A\nB\r\n"}));
    EXPECT_EQ(SplitBodyLines(""), Lines{});
}

struct OptionsCase {
    std::vector<std::string> args;
    bool ok;
    PingSettings settings{};
    bool maskTimes = true;
};

TEST(ParseDriverOptions, AcceptsOnlyWholeValuesInRange) {
    const OptionsCase cases[] = {
        {{"--host=h"}, true, {"h", 10, 18, 0, 255}},
        {{"--host=h", "--count=0", "--size=1500", "--ttl=1", "--df=1", "--raw-times"},
         true,
         {"h", 0, 1500, 1, 1},
         false},
        {{"--host=h", "--count=999"}, true, {"h", 999, 18, 0, 255}},
        {{}, false},
        {{"--host="}, false},
        {{"--host=h", "--count=1000"}, false},
        {{"--host=h", "--count=1O"}, false},
        {{"--host=h", "--count="}, false},
        {{"--host=h", "--size=1501"}, false},
        {{"--host=h", "--ttl=0"}, false},
        {{"--host=h", "--ttl=256"}, false},
        {{"--host=h", "--df=2"}, false},
        {{"--host=h", "--count=-1"}, false},
        {{"--host=h", "--verbose"}, false},
        {{"--host=h", "--host"}, false},
    };
    for (const OptionsCase& c : cases) {
        std::string error;
        std::optional<DriverOptions> options = ParseDriverOptions(c.args, error);
        std::string label = ::testing::PrintToString(c.args);
        ASSERT_EQ(options.has_value(), c.ok) << label;
        if (!options) {
            EXPECT_FALSE(error.empty()) << label;
            continue;
        }
        EXPECT_EQ(options->settings.host, c.settings.host) << label;
        EXPECT_EQ(options->settings.count, c.settings.count) << label;
        EXPECT_EQ(options->settings.dataSize, c.settings.dataSize) << label;
        EXPECT_EQ(options->settings.dontFragment, c.settings.dontFragment) << label;
        EXPECT_EQ(options->settings.ttl, c.settings.ttl) << label;
        EXPECT_EQ(options->maskTimes, c.maskTimes) << label;
    }
}

}  // namespace
}  // namespace quillbin
