#include "echo/reply_outcome.h"

#include <gtest/gtest.h>

#include <string>

namespace quillbin {
namespace {

const std::string kPayload = "abcdefgh";

EchoReply Written(uint32_t status, uint16_t dataSize, std::optional<std::string_view> data) {
    EchoReply reply;
    reply.written = true;
    reply.status = status;
    reply.dataSize = dataSize;
    reply.data = data;
    return reply;
}

EchoReply Unwritten(uint32_t lastError) {
    EchoReply reply;
    reply.lastError = lastError;
    // What a stale record from an earlier echo could still hold.
    reply.dataSize = static_cast<uint16_t>(kPayload.size());
    reply.data = kPayload;
    return reply;
}

struct OutcomeCase {
    const char* name;
    EchoReply reply;
    EchoOutcome outcome;
    uint32_t status;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

class ClassifyEchoReplyTest : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(ClassifyEchoReplyTest, Classifies) {
    const OutcomeCase& c = GetParam();
    const ClassifiedReply r = ClassifyEchoReply(c.reply, kPayload);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.status, c.status);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Replies, ClassifyEchoReplyTest,
    ::testing::Values(
        OutcomeCase{"Intact", Written(0, 8, "abcdefgh"), EchoOutcome::Ok, 0},
        OutcomeCase{"OneByteChanged", Written(0, 8, "abcdefgX"), EchoOutcome::DataMismatch, 0},
        OutcomeCase{"Shortened", Written(0, 7, "abcdefg"), EchoOutcome::DataMismatch, 0},
        OutcomeCase{"Lengthened", Written(0, 9, "abcdefghi"), EchoOutcome::DataMismatch, 0},
        OutcomeCase{"DataOutsideTheReplyArea", Written(0, 8, std::nullopt), EchoOutcome::DataMismatch, 0},
        OutcomeCase{"SizeDisagreesWithData", Written(0, 8, "abcdefghXYZ"), EchoOutcome::DataMismatch, 0},
        OutcomeCase{"TtlExpiredTransit", Written(11013, 0, ""), EchoOutcome::TtlExpired, 11013},
        OutcomeCase{"TtlExpiredReassembly", Written(11014, 0, ""), EchoOutcome::TtlExpired, 11014},
        // A failure status decides, even when the data happens to match.
        OutcomeCase{"TimedOut", Written(11010, 8, "abcdefgh"), EchoOutcome::StatusFailure, 11010},
        OutcomeCase{"UnknownStatus", Written(12345, 0, ""), EchoOutcome::StatusFailure, 12345},
        OutcomeCase{"UnwrittenTimeOut", Unwritten(11010), EchoOutcome::StatusFailure, 11010},
        OutcomeCase{"UnwrittenTtlExpiry", Unwritten(11013), EchoOutcome::StatusFailure, 11013},
        OutcomeCase{"UnwrittenLowestIpStatus", Unwritten(11001), EchoOutcome::StatusFailure, 11001},
        OutcomeCase{"UnwrittenHighestIpStatus", Unwritten(11050), EchoOutcome::StatusFailure, 11050},
        OutcomeCase{"UnwrittenJustBelowIpStatuses", Unwritten(11000), EchoOutcome::StatusFailure, 11050},
        OutcomeCase{"UnwrittenJustAboveIpStatuses", Unwritten(11051), EchoOutcome::StatusFailure, 11050},
        OutcomeCase{"UnwrittenAccessDenied", Unwritten(5), EchoOutcome::StatusFailure, 11050},
        OutcomeCase{"UnwrittenNoError", Unwritten(0), EchoOutcome::StatusFailure, 11050}),
    [](const ::testing::TestParamInfo<OutcomeCase>& test) { return std::string(test.param.name); });
// clang-format on

TEST(ClassifyEchoReply, AnEmptyPayloadComesBackEmpty) {
    EXPECT_EQ(ClassifyEchoReply(Written(0, 0, ""), "").outcome, EchoOutcome::Ok);
    EXPECT_EQ(ClassifyEchoReply(Written(0, 1, "x"), "").outcome, EchoOutcome::DataMismatch);
}

}  // namespace
}  // namespace quillbin
