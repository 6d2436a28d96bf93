#include "framework/number_field.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quillbin {
namespace {

struct FieldCase {
    std::u16string text;
    std::optional<uint32_t> value;  // nullopt: the field does not read
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << '"';
    for (char16_t ch : c.text) {
        if (ch >= 0x20 && ch < 0x7F)
            *os << static_cast<char>(ch);
        else
            *os << "\\u" << std::hex << static_cast<unsigned>(ch) << std::dec;
    }
    *os << '"';
}

class ReadNumberFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ReadNumberFieldTest, ReadsOrRejects) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(ReadNumberField(c.text), c.value);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Accepted, ReadNumberFieldTest, ::testing::Values(
    FieldCase{u"12", 12},
    FieldCase{u"0", 0},
    FieldCase{u"000", 0},
    FieldCase{u"007", 7},
    FieldCase{u" \t12\t ", 12},
    FieldCase{u"+5", 5},
    FieldCase{u"999", 999},
    FieldCase{u"4294967295", 4294967295u},
    // Beyond 32 bits the reading saturates; the range check rejects it.
    FieldCase{u"4294967296", 4294967295u},
    FieldCase{u"99999999999", 4294967295u},
    // Only the first 31 characters count: whatever follows is never seen.
    FieldCase{u"1" + std::u16string(30, u' ') + u"x", 1},
    FieldCase{std::u16string(u"12\0abc", 6), 12}));
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rejected, ReadNumberFieldTest, ::testing::Values(
    FieldCase{u"", std::nullopt},
    FieldCase{u"   ", std::nullopt},
    FieldCase{u"abc", std::nullopt},
    FieldCase{u"-5", std::nullopt},
    FieldCase{u"  -0", std::nullopt},
    FieldCase{u"-", std::nullopt},
    FieldCase{u"+", std::nullopt},
    FieldCase{u"+0", std::nullopt},
    FieldCase{u"12abc", std::nullopt},
    FieldCase{u"12 3", std::nullopt},
    FieldCase{u"1.5", std::nullopt},
    FieldCase{u"0x10", std::nullopt},
    // Full-width digits and a full-width blank are not ASCII.
    FieldCase{u"\uFF11\uFF12", std::nullopt},
    FieldCase{u"12\u3000", std::nullopt},
    // A non-ASCII unit whose low byte is a digit must not pass for one.
    FieldCase{u"\u0131", std::nullopt},
    // The 31st character still counts.
    FieldCase{u"1" + std::u16string(29, u' ') + u"x", std::nullopt}));
// clang-format on

TEST(IsInRange, IncludesBothBoundsAndComparesUnsigned) {
    EXPECT_TRUE(IsInRange(1, 1, 999));
    EXPECT_TRUE(IsInRange(999, 1, 999));
    EXPECT_FALSE(IsInRange(0, 1, 999));
    EXPECT_FALSE(IsInRange(1000, 1, 999));
    EXPECT_TRUE(IsInRange(0, 0, 1500));
    EXPECT_FALSE(IsInRange(4294967295u, 1, 255));
}

}  // namespace
}  // namespace quillbin
