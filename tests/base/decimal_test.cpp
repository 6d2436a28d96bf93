#include "base/decimal.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

struct DecimalCase {
    const char* text;
    uint32_t value;
    size_t consumed;
};

void PrintTo(const DecimalCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ReadUnsignedDecimalTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ReadUnsignedDecimalTest, ReadsLikeStrtoulWithBase10) {
    const DecimalCase& c = GetParam();
    DecimalReading r = ReadUnsignedDecimal(c.text);
    EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
    EXPECT_EQ(r.consumed, c.consumed) << '"' << c.text << '"';
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ReadUnsignedDecimalTest, ::testing::Values(
    DecimalCase{"42", 42, 2},
    DecimalCase{"  42abc", 42, 4},
    DecimalCase{"\t\v\f 7", 7, 5},
    DecimalCase{"", 0, 0},
    DecimalCase{"abc", 0, 0},
    DecimalCase{"   ", 0, 0},
    DecimalCase{"-", 0, 0},
    DecimalCase{"+", 0, 0},
    DecimalCase{"+9", 9, 2},
    DecimalCase{"-1", 4294967295u, 2},
    DecimalCase{"-4294967295", 1, 11},
    DecimalCase{"0", 0, 1},
    DecimalCase{"007", 7, 3},
    DecimalCase{"4294967295", 4294967295u, 10},
    DecimalCase{"4294967296", 4294967295u, 10},
    DecimalCase{"99999999999999999999999", 4294967295u, 23},
    DecimalCase{"-4294967296", 4294967295u, 11},
    DecimalCase{"12 34", 12, 2}));
// clang-format on

TEST(ReadUnsignedDecimal, DoesNotReadPastTheRange) {
    std::string_view text("123456", 3);
    EXPECT_EQ(ReadUnsignedDecimal(text).value, 123u);
    EXPECT_EQ(ReadUnsignedDecimal(text).consumed, 3u);
}

}  // namespace
}  // namespace quillbin
