#include "echo/win/echo_reply_reader.h"

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>

namespace quillbin::win {
namespace {

constexpr size_t kAreaSize = 2076;

// Where a crafted record's Data points, relative to the start of the area;
// `absolute` overrides it with an address outside any object.
struct DataCase {
    const char* name;
    ptrdiff_t offset;
    uint16_t dataSize;
    bool present;
    std::optional<uintptr_t> absolute = std::nullopt;
};

class CraftedReplyArea {
public:
    CraftedReplyArea() { m_bytes.fill(0x5A); }

    void Write(const DataCase& c) {
        ICMP_ECHO_REPLY record{};
        record.Address = 0x0201A8C0;
        record.Status = 0;
        record.RoundTripTime = 7;
        record.DataSize = c.dataSize;
        record.Options.Ttl = 63;
        uintptr_t data = c.absolute ? *c.absolute : reinterpret_cast<uintptr_t>(m_bytes.data()) + c.offset;
        record.Data = reinterpret_cast<void*>(data);
        std::memcpy(m_bytes.data(), &record, sizeof record);
    }
    std::span<const unsigned char> span() const { return m_bytes; }
    const unsigned char* at(ptrdiff_t offset) const { return m_bytes.data() + offset; }

private:
    alignas(8) std::array<unsigned char, kAreaSize> m_bytes;
};

class ReadEchoReplyDataTest : public ::testing::TestWithParam<DataCase> {};

TEST_P(ReadEchoReplyDataTest, ReadsDataOnlyInsideTheArea) {
    const DataCase& c = GetParam();
    CraftedReplyArea area;
    area.Write(c);
    EchoReply reply = ReadEchoReply(area.span(), 1, 0);
    ASSERT_TRUE(reply.written);
    EXPECT_EQ(reply.dataSize, c.dataSize);
    ASSERT_EQ(reply.data.has_value(), c.present);
    if (c.present) {
        ASSERT_EQ(reply.data->size(), c.dataSize);
        if (c.dataSize > 0) {
            EXPECT_EQ(static_cast<const void*>(reply.data->data()), area.at(c.offset));
        }
    }
}

constexpr ptrdiff_t kAfterRecord = sizeof(ICMP_ECHO_REPLY);
constexpr uintptr_t kTop = std::numeric_limits<uintptr_t>::max();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ReadEchoReplyDataTest, ::testing::Values(
    DataCase{"AfterRecord", kAfterRecord, 18, true},
    DataCase{"LargestRequest", kAfterRecord, 1500, true},
    DataCase{"EndsAtAreaEnd", kAreaSize - 18, 18, true},
    DataCase{"OneBytePastEnd", kAreaSize - 17, 18, false},
    DataCase{"StartsAtAreaEnd", kAreaSize, 1, false},
    DataCase{"BeforeArea", -16, 18, false},
    DataCase{"FarBeyond", kAreaSize + 4096, 18, false},
    DataCase{"LengthOverrunsArea", kAfterRecord, 0xFFFF, false},
    DataCase{"NullData", 0, 18, false, uintptr_t{0}},
    DataCase{"WrapsAddressSpace", 0, 18, false, kTop - 4},
    DataCase{"EmptyAtEnd", kAreaSize, 0, true},
    DataCase{"EmptyAndNull", 0, 0, true, uintptr_t{0}}),
    [](const auto& c) { return std::string(c.param.name); });
// clang-format on

TEST(ReadEchoReply, CopiesTheRecordFields) {
    CraftedReplyArea area;
    area.Write({"", kAfterRecord, 0, true});
    EchoReply reply = ReadEchoReply(area.span(), 1, 0);
    EXPECT_TRUE(reply.written);
    EXPECT_EQ(reply.address, 0x0201A8C0u);
    EXPECT_EQ(reply.status, 0u);
    EXPECT_EQ(reply.roundTripTime, 7u);
    EXPECT_EQ(reply.ttl, 63);
}

TEST(ReadEchoReply, NoRepliesMeansNothingIsRead) {
    CraftedReplyArea area;
    area.Write({"", kAfterRecord, 18, true});
    EchoReply reply = ReadEchoReply(area.span(), 0, IP_REQ_TIMED_OUT);
    EXPECT_FALSE(reply.written);
    EXPECT_EQ(reply.lastError, static_cast<uint32_t>(IP_REQ_TIMED_OUT));
    EXPECT_FALSE(reply.data.has_value());
    EXPECT_EQ(reply.address, 0u);
}

TEST(ReadEchoReply, AreaTooSmallForARecordIsNotRead) {
    CraftedReplyArea area;
    area.Write({"", kAfterRecord, 18, true});
    EchoReply reply = ReadEchoReply(area.span().first(sizeof(ICMP_ECHO_REPLY) - 1), 1, 0);
    EXPECT_FALSE(reply.written);
    EXPECT_FALSE(reply.data.has_value());
}

}  // namespace
}  // namespace quillbin::win
