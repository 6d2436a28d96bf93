#include "echo/win/winsock_resolver.h"

#include <winsock2.h>

#include <gtest/gtest.h>

namespace quillbin::win {
namespace {

class WinsockEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        WSADATA wsa;
        ASSERT_EQ(::WSAStartup(MAKEWORD(1, 1), &wsa), 0);
    }
    void TearDown() override { ::WSACleanup(); }
};
const auto* const kWinsock = ::testing::AddGlobalTestEnvironment(new WinsockEnvironment);

TEST(ParseDottedAddress, GivesNetworkOrderOrNone) {
    struct Case {
        const char* text;
        uint32_t address;
    } cases[] = {
        {"127.0.0.1", 0x0100007F},
        {"198.18.2.2", 0x020212C6},
        // The one address that cannot be told from "no address".
        {"255.255.255.255", kInaddrNone},
        {"localhost", kInaddrNone},
        {"1.2.3.4.5", kInaddrNone},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDottedAddress(c.text), c.address) << c.text;
}

TEST(DottedText, FormatsNetworkOrder) {
    EXPECT_EQ(DottedText(0x0100007F), "127.0.0.1");
    EXPECT_EQ(DottedText(0x020212C6), "198.18.2.2");
    EXPECT_EQ(DottedText(0xFFFFFFFF), "255.255.255.255");
}

// Host entries built by hand: the shapes a resolver may hand back.
struct EntryCase {
    const char* label;
    const char* name;
    short family;
    short length;
    bool withList;
    bool withAddress;
    bool found;
};

TEST(HostEntryFrom, OnlyEntriesWithAnIpv4AddressCount) {
    const EntryCase cases[] = {
        {"ipv4", "host.test", AF_INET, 4, true, true, true},
        {"no name", nullptr, AF_INET, 4, true, true, true},
        {"empty address list", "host.test", AF_INET, 4, true, false, false},
        {"no address list", "host.test", AF_INET, 4, false, false, false},
        {"ipv6 family", "host.test", 23 /* AF_INET6 */, 16, true, true, false},
        {"wrong length", "host.test", AF_INET, 16, true, true, false},
    };
    for (const EntryCase& c : cases) {
        char address[16] = {'\xC6', '\x12', '\x02', '\x02'};
        char* list[] = {c.withAddress ? address : nullptr, nullptr};
        hostent entry{};
        entry.h_name = const_cast<char*>(c.name);
        entry.h_addrtype = c.family;
        entry.h_length = c.length;
        entry.h_addr_list = c.withList ? list : nullptr;
        std::optional<HostEntry> result = HostEntryFrom(&entry);
        ASSERT_EQ(result.has_value(), c.found) << c.label;
        if (result) {
            EXPECT_EQ(result->name, c.name ? c.name : "") << c.label;
            EXPECT_EQ(result->address, 0x020212C6u) << c.label;
        }
    }
    EXPECT_FALSE(HostEntryFrom(nullptr).has_value());
}

// Both lookups are answered from the hosts file: no query leaves the machine.
TEST(Lookup, FindsLocalhostBothWays) {
    std::optional<HostEntry> byName = LookupHostName("localhost");
    ASSERT_TRUE(byName.has_value());
    EXPECT_EQ(byName->address, 0x0100007Fu);

    std::optional<HostEntry> byAddress = LookupHostAddress(0x0100007F);
    ASSERT_TRUE(byAddress.has_value());
    EXPECT_FALSE(byAddress->name.empty());
    EXPECT_EQ(byAddress->address, 0x0100007Fu);
}

}  // namespace
}  // namespace quillbin::win
