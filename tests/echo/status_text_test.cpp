#include "echo/status_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/cp932_texts.h"
#include "tests/support/hex_bytes.h"

namespace quillbin {
namespace {

struct StatusLength {
    uint32_t status;
    size_t bytes;  // in code page 932, without the NUL
};

constexpr StatusLength kLengths[] = {
    {11001, 44}, {11002, 38}, {11003, 39}, {11004, 34}, {11005, 33}, {11006, 32}, {11007, 40},
    {11008, 32}, {11009, 40}, {11010, 42}, {11011, 44}, {11012, 38}, {11013, 40}, {11014, 40},
    {11015, 46}, {11016, 40}, {11017, 40}, {11018, 38}, {11050, 28},
};

TEST(IcmpStatusText, EveryKnownCodeHasItsTextOfTheRightLength) {
    for (const StatusLength& c : kLengths) {
        const char* text = IcmpStatusText(c.status);
        ASSERT_NE(text, nullptr) << c.status;
        EXPECT_EQ(std::strlen(text), c.bytes) << c.status;
        EXPECT_TRUE(testing::EndsOnWholeCharacter(text)) << c.status;
    }
}

TEST(IcmpStatusText, EveryOtherCodeHasTheEmptyTextNotNull) {
    for (uint32_t status : {0u, 1u, 11000u, 11019u, 11030u, 11049u, 11051u, 0xFFFFFFFFu}) {
        const char* text = IcmpStatusText(status);
        ASSERT_NE(text, nullptr) << status;
        EXPECT_EQ(text[0], '\0') << status;
    }
}

TEST(IcmpStatusText, TextsAreDistinctWhereTheConditionsDiffer) {
    // A copy-and-paste slip would show one condition under another's name.
    for (const StatusLength& a : kLengths) {
        for (const StatusLength& b : kLengths) {
            if (a.status < b.status) {
                EXPECT_STRNE(IcmpStatusText(a.status), IcmpStatusText(b.status)) << a.status << " " << b.status;
            }
        }
    }
}

TEST(IcmpStatusText, KeyTextsByteForByte) {
    EXPECT_EQ(std::string(IcmpStatusText(11010)), testing::kTimedOutText.cp932);
    // こんなの絶対おかしいよ(HW Error): an ASCII note, blank included.
    EXPECT_EQ(std::string(IcmpStatusText(11008)),
              testing::Hex("82 B1 82 F1 82 C8 82 CC 90 E2 91 CE 82 A8 82 A9 82 B5 82 A2 82 E6") + "(HW Error)");
    // No note.
    EXPECT_EQ(std::string(IcmpStatusText(11050)), testing::kGeneralFailureText.cp932);
}

TEST(IsTtlExpiredStatus, OnlyTheTwoTtlCodes) {
    for (uint32_t status = 10990; status <= 11060; ++status) {
        EXPECT_EQ(IsTtlExpiredStatus(status), status == 11013 || status == 11014) << status;
    }
    EXPECT_FALSE(IsTtlExpiredStatus(0));
}

}  // namespace
}  // namespace quillbin
