#include "tools/ghost_host/request_view.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

using Lines = std::vector<std::string>;

TEST(RequestView, SplitsLinesAndShowsControlBytes) {
    const struct {
        std::string bytes;
        Lines expected;
    } cases[] = {
        {"", {}},
        {"NOTIFY SSTP/1.0\r\nEvent: X\r\n\r\n", {"NOTIFY SSTP/1.0", "Event: X", ""}},
        {"no line end", {"no line end"}},
        {"\r\n", {""}},
        {"lone\rcr\nlf\n\rboth", {"lone", "cr", "lf", "", "both"}},
        {"id.key\x01value\r\n", {"id.key<01>value"}},
        {std::string("nul\0tab\tdel\x7F", 12), {"nul<00>tab<09>del<7F>"}},
        // Code page 932 bytes pass untouched, also a second byte 0x5C ("表").
        {"\x95\x5C\x83\x53\r\n", {"\x95\x5C\x83\x53"}},
    };
    for (const auto& c : cases) EXPECT_EQ(RequestDisplayLines(c.bytes, c.bytes.size()), c.expected) << c.bytes;
}

TEST(RequestView, SaysHowMuchIsNotShown) {
    EXPECT_EQ(RequestDisplayLines("abc\r\nde", 100000), (Lines{"abc", "de", "(99993 more bytes not shown)"}));
    EXPECT_EQ(RequestDisplayLines("", 5), (Lines{"(5 more bytes not shown)"}));
}

}  // namespace
}  // namespace quillbin
