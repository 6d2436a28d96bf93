#include "echo/win/echo_reply_reader.h"

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "echo/echo_lines.h"
#include "echo/win/winsock_resolver.h"
#include "tests/support/cp932_texts.h"

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

// One reply record as Windows writes it; Data and OptionsData are offsets
// into the area.
struct WindowsRecord {
    const char* address;
    uint32_t status;
    uint32_t roundTripTime;
    uint8_t ttl;
    uint16_t dataSize;
    ptrdiff_t dataOffset;
    uint8_t optionsSize = 0;
    ptrdiff_t optionsOffset = 0;
};

struct WindowsAreaCase {
    const char* name;
    uint32_t replies;  // what IcmpSendEcho returned
    uint32_t lastError;
    std::vector<WindowsRecord> records;  // back to back from the start
    std::vector<std::pair<ptrdiff_t, std::string>> bytes;
    std::string listLine;
    std::string referenceLine;
};

// Reply areas shaped the way Windows fills them (not only as Wine does),
// read and classified to the lines the program shows for the first echo.
TEST(ReadEchoReply, WindowsShapedAreasShowTheirLines) {
    using namespace quillbin::testing;
    const std::string payload = kCyclePhraseText.cp932;
    std::string changed = payload;
    changed.back() ^= 0x01;
    const std::string s = "\x01";
    constexpr ptrdiff_t kRecord = sizeof(ICMP_ECHO_REPLY);
    // Record Route with one address (198.18.2.2), padded with a NOP.
    const std::string recordRoute("\x07\x07\x08\xC6\x12\x02\x02\x01", 8);
    const WindowsRecord okRecord{"198.18.4.2", 0, 1, 64, 18, kRecord};
    // clang-format off
    const WindowsAreaCase cases[] = {
        {"ttl expired in transit", 1, 0, {{"198.18.1.1", 11013, 3, 254, 0, kRecord}}, {},
         "NG 198.18.1.1 Time=3ms TTL=254 (ERR : " + kTtlExpiredTransitText.cp932 + ")",
         "Reference0: " + kTtlExpiredTransitText.cp932 + s + "198.18.1.1" + s + "3" + s + "254\r\n"},
        // Address resolution failed: the local stack answers from our own address.
        {"host unreachable, local stack", 1, 0, {{"198.18.1.2", 11003, 0, 128, 0, kRecord}}, {},
         "NG " + kDestHostUnreachableText.cp932, "Reference0: " + kDestHostUnreachableText.cp932 + s + s + s + "\r\n"},
        {"data after ip options", 1, 0, {{"198.18.2.2", 0, 12, 63, 18, kRecord + 8, 8, kRecord}},
         {{kRecord, recordRoute}, {kRecord + 8, payload}},
         "OK 198.18.2.2 Time=12ms TTL=63 (18 : " + payload + ")",
         "Reference0: OK" + s + "198.18.2.2" + s + "12" + s + "63\r\n"},
        {"two replies, the first intact", 2, 0,
         {{"198.18.2.2", 0, 5, 63, 18, 2 * kRecord}, {"198.18.4.2", 0, 9, 62, 18, 2 * kRecord + 18}},
         {{2 * kRecord, payload}, {2 * kRecord + 18, changed}},
         "OK 198.18.2.2 Time=5ms TTL=63 (18 : " + payload + ")",
         "Reference0: OK" + s + "198.18.2.2" + s + "5" + s + "63\r\n"},
        {"two replies, the first changed", 2, 0,
         {{"198.18.4.2", 0, 9, 62, 18, 2 * kRecord}, {"198.18.2.2", 0, 5, 63, 18, 2 * kRecord + 18}},
         {{2 * kRecord, changed}, {2 * kRecord + 18, payload}},
         "NG 198.18.4.2 Time=9ms TTL=62 (ERR : " + kWrongDataText.cp932 + ")",
         "Reference0: " + kWrongDataText.cp932 + s + "198.18.4.2" + s + "9" + s + "62\r\n"},
        // Win32 errors instead of an IP status; the area holds an old reply.
        {"network unreachable (1231)", 0, 1231, {okRecord}, {{kRecord, payload}},
         "NG " + kGeneralFailureText.cp932, "Reference0: " + kGeneralFailureText.cp932 + s + s + s + "\r\n"},
        {"error 1214", 0, 1214, {okRecord}, {{kRecord, payload}},
         "NG " + kGeneralFailureText.cp932, "Reference0: " + kGeneralFailureText.cp932 + s + s + s + "\r\n"},
        {"invalid parameter (87)", 0, 87, {okRecord}, {{kRecord, payload}},
         "NG " + kGeneralFailureText.cp932, "Reference0: " + kGeneralFailureText.cp932 + s + s + s + "\r\n"},
    };
    // clang-format on
    for (const WindowsAreaCase& c : cases) {
        alignas(8) std::array<unsigned char, kAreaSize> area;
        area.fill(0x5A);
        for (size_t i = 0; i < c.records.size(); ++i) {
            const WindowsRecord& r = c.records[i];
            ICMP_ECHO_REPLY record{};
            record.Address = ParseDottedAddress(r.address);
            record.Status = r.status;
            record.RoundTripTime = r.roundTripTime;
            record.DataSize = r.dataSize;
            record.Data = area.data() + r.dataOffset;
            record.Options.Ttl = r.ttl;
            record.Options.OptionsSize = r.optionsSize;
            record.Options.OptionsData = r.optionsSize ? area.data() + r.optionsOffset : nullptr;
            std::memcpy(area.data() + i * sizeof record, &record, sizeof record);
        }
        for (const auto& [offset, bytes] : c.bytes) std::memcpy(area.data() + offset, bytes.data(), bytes.size());

        const EchoReply reply = ReadEchoReply(area, c.replies, c.lastError);
        const EchoLines lines = FormatEchoLines(0, ClassifyEchoReply(reply, payload), reply, DottedText(reply.address));
        EXPECT_EQ(lines.listLine, c.listLine) << c.name;
        EXPECT_EQ(lines.referenceLine, c.referenceLine) << c.name;
    }
}

}  // namespace
}  // namespace quillbin::win
