#include "tools/icmp_responder/echo_reply_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace quillbin {
namespace {

using Bytes = std::vector<uint8_t>;

// An echo request from 198.18.1.2 to 198.18.4.2, identifier 0x1234,
// sequence 7, with `payload` and `options` extra bytes of IP options.
Bytes EchoRequest(const std::string& payload, size_t options = 0, uint8_t type = 8) {
    Bytes p(20 + options + 8 + payload.size());
    p[0] = static_cast<uint8_t>(0x40 | (20 + options) / 4);
    p[2] = static_cast<uint8_t>(p.size() >> 8);
    p[3] = static_cast<uint8_t>(p.size());
    p[6] = 0x40;  // DF, as Linux sends it
    p[8] = 63;
    p[9] = 1;
    const uint8_t src[] = {198, 18, 1, 2}, dst[] = {198, 18, 4, 2};
    std::copy(std::begin(src), std::end(src), p.begin() + 12);
    std::copy(std::begin(dst), std::end(dst), p.begin() + 16);
    size_t icmp = 20 + options;
    p[icmp] = type;
    p[icmp + 4] = 0x12;
    p[icmp + 5] = 0x34;
    p[icmp + 7] = 7;
    std::copy(payload.begin(), payload.end(), p.begin() + static_cast<ptrdiff_t>(icmp + 8));
    return p;
}

std::string PayloadOf(const Bytes& reply) { return std::string(reply.begin() + 28, reply.end()); }

TEST(InternetChecksum, MatchesKnownSums) {
    // The example header of RFC 1071's companions: sums to 0xB861 complemented.
    const Bytes header = {0x45, 0x00, 0x00, 0x73, 0x00, 0x00, 0x40, 0x00, 0x40, 0x11,
                          0x00, 0x00, 0xC0, 0xA8, 0x00, 0x01, 0xC0, 0xA8, 0x00, 0xC7};
    EXPECT_EQ(InternetChecksum(header), 0xB861);
    EXPECT_EQ(InternetChecksum(Bytes{}), 0xFFFF);
    EXPECT_EQ(InternetChecksum(Bytes{0x01}), static_cast<uint16_t>(~0x0100));
}

struct MangleCase {
    const char* name;
    std::string payload;
    ReplyMangle mangle;
    std::string echoed;
};

class BuildEchoReplyTest : public ::testing::TestWithParam<MangleCase> {};

TEST_P(BuildEchoReplyTest, BuildsAValidReplyWithTheMangledPayload) {
    const MangleCase& c = GetParam();
    for (size_t options : {0u, 8u}) {
        auto reply = BuildEchoReply(EchoRequest(c.payload, options), c.mangle);
        ASSERT_TRUE(reply.has_value());
        const Bytes& r = *reply;
        ASSERT_EQ(r.size(), 28 + c.echoed.size());
        EXPECT_EQ(PayloadOf(r), c.echoed);
        EXPECT_EQ(r[0], 0x45);
        EXPECT_EQ((r[2] << 8) | r[3], static_cast<int>(r.size()));
        EXPECT_EQ(r[8], 64);
        EXPECT_EQ(r[9], 1);
        EXPECT_EQ(Bytes(r.begin() + 12, r.begin() + 16), (Bytes{198, 18, 4, 2}));
        EXPECT_EQ(Bytes(r.begin() + 16, r.begin() + 20), (Bytes{198, 18, 1, 2}));
        EXPECT_EQ(r[20], 0);  // echo reply
        EXPECT_EQ(Bytes(r.begin() + 24, r.begin() + 28), (Bytes{0x12, 0x34, 0, 7}));
        // A correct checksum sums the whole to zero.
        EXPECT_EQ(InternetChecksum(std::span(r).first(20)), 0);
        EXPECT_EQ(InternetChecksum(std::span(r).subspan(20)), 0);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, BuildEchoReplyTest, ::testing::Values(
    MangleCase{"Honest", "abcdefghijklmnopqr", ReplyMangle::None, "abcdefghijklmnopqr"},
    MangleCase{"FlipsTheLastByte", "abcdefghijklmnopqr", ReplyMangle::FlipByte, "abcdefghijklmnopqs"},
    MangleCase{"DropsTheLastByte", "abcdefghijklmnopqr", ReplyMangle::Shorten, "abcdefghijklmnopq"},
    MangleCase{"OddLengthSums", "abc", ReplyMangle::Shorten, "ab"},
    MangleCase{"EmptyStaysEmpty", "", ReplyMangle::FlipByte, ""}),
    [](const auto& c) { return std::string(c.param.name); });
// clang-format on

TEST(BuildEchoReply, IgnoresWhatIsNoWholeEchoRequest) {
    Bytes request = EchoRequest("abc");
    struct Case {
        const char* label;
        Bytes packet;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"echo reply", EchoRequest("abc", 0, 0)},
        {"truncated", Bytes(request.begin(), request.begin() + 25)},
        {"ipv6 version",
         [&] {
             Bytes p = request;
             p[0] = 0x65;
             return p;
         }()},
        {"header length below 20",
         [&] {
             Bytes p = request;
             p[0] = 0x44;
             return p;
         }()},
        {"not icmp",
         [&] {
             Bytes p = request;
             p[9] = 17;
             return p;
         }()},
        {"total length beyond packet",
         [&] {
             Bytes p = request;
             p[3] = static_cast<uint8_t>(p[3] + 1);
             return p;
         }()},
        {"fragment",
         [&] {
             Bytes p = request;
             p[6] = 0x20;
             return p;
         }()},
        {"nonzero code",
         [&] {
             Bytes p = request;
             p[21] = 1;
             return p;
         }()},
    };
    for (const Case& c : cases) EXPECT_FALSE(BuildEchoReply(c.packet, ReplyMangle::None).has_value()) << c.label;
}

TEST(BuildEchoReply, IgnoresBytesAfterTheTotalLength) {
    Bytes request = EchoRequest("abc");
    request.push_back('x');
    auto reply = BuildEchoReply(request, ReplyMangle::None);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(PayloadOf(*reply), "abc");
}

}  // namespace
}  // namespace quillbin
