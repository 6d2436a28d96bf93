#include "framework/message_format.h"

#include <gtest/gtest.h>

#include "tests/support/cp932_texts.h"

namespace quillbin {
namespace {

TEST(FormatMessageArgs, FillsTheRangeMessage) {
    // "1 から 999 までの整数を入力してください。"
    EXPECT_EQ(FormatMessageArgs(testing::kRangeUnsignedText.cp932, {"1", "999"}),
              "1 \x82\xa9\x82\xe7 999 \x82\xdc\x82\xc5\x82\xcc\x90\xae\x90\x94\x82\xf0\x93\xfc\x97\xcd"
              "\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42");
}

TEST(FormatMessageArgs, Placeholders) {
    struct Case {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"%2-%1", "b-a"}, {"%1%1", "aa"},           {"100%", "100%"},
        {"%%1", "%a"},    {"%0 %3 %x", "%0 %3 %x"},  // no such argument: kept as written
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatMessageArgs(c.pattern, {"a", "b"}), c.expected) << c.pattern;
}

}  // namespace
}  // namespace quillbin
