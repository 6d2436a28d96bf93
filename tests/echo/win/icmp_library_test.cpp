#include "echo/win/icmp_library.h"

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "echo/echo_run.h"
#include "echo/payload.h"
#include "echo/win/unique_icmp_handle.h"
#include "echo/win/win32_echo_bindings.h"
#include "tests/echo/win/recording_icmp.h"

namespace quillbin::win {
namespace {

std::vector<HANDLE> g_closed;

BOOL WINAPI RecordClose(HANDLE handle) {
    g_closed.push_back(handle);
    return TRUE;
}

HANDLE FakeHandle(uintptr_t n) { return reinterpret_cast<HANDLE>(n); }

class UniqueIcmpHandleTest : public ::testing::Test {
protected:
    void SetUp() override { g_closed.clear(); }
};

TEST_F(UniqueIcmpHandleTest, ClosesThroughTheBoundFunctionOnce) {
    {
        UniqueIcmpHandle a(FakeHandle(0x10), RecordClose);
        UniqueIcmpHandle b(std::move(a));
        EXPECT_FALSE(a.is_valid());
        UniqueIcmpHandle c;
        c = std::move(b);
        EXPECT_TRUE(g_closed.empty());
    }
    EXPECT_EQ(g_closed, std::vector<HANDLE>{FakeHandle(0x10)});
}

TEST_F(UniqueIcmpHandleTest, MoveAssignmentClosesTheHandleItReplaces) {
    UniqueIcmpHandle a(FakeHandle(0x10), RecordClose);
    a = UniqueIcmpHandle(FakeHandle(0x20), RecordClose);
    EXPECT_EQ(g_closed, std::vector<HANDLE>{FakeHandle(0x10)});
    a.reset();
    a.reset();
    EXPECT_EQ(g_closed, (std::vector<HANDLE>{FakeHandle(0x10), FakeHandle(0x20)}));
}

TEST_F(UniqueIcmpHandleTest, InvalidHandleValueIsNeverClosedButNullIs) {
    {
        UniqueIcmpHandle failed(INVALID_HANDLE_VALUE, RecordClose);
        EXPECT_FALSE(failed);
    }
    EXPECT_TRUE(g_closed.empty());
    // NULL is not the failure value of IcmpCreateFile, so it is owned.
    {
        UniqueIcmpHandle null(nullptr, RecordClose);
        EXPECT_TRUE(null);
    }
    EXPECT_EQ(g_closed, std::vector<HANDLE>{nullptr});
}

struct BindCase {
    const char* name;
    std::vector<const char*> modules;
    bool bound;
    IcmpBindError error = IcmpBindError::NoLibrary;
};

class BindIcmpLibraryTest : public ::testing::TestWithParam<BindCase> {};

TEST_P(BindIcmpLibraryTest, BindsTheFirstModuleThatLoads) {
    const BindCase& c = GetParam();
    IcmpBinding binding = BindIcmpLibrary(c.modules);
    if (c.bound) {
        auto* library = std::get_if<std::unique_ptr<IcmpLibrary>>(&binding);
        ASSERT_NE(library, nullptr);
        EXPECT_NE(library->get(), nullptr);
    } else {
        auto* error = std::get_if<IcmpBindError>(&binding);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(*error, c.error);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, BindIcmpLibraryTest, ::testing::Values(
    BindCase{"Default", {kIcmpModuleNames[0], kIcmpModuleNames[1]}, true},
    BindCase{"FallsBackToIcmpDll", {"quillbin-absent-1.dll", "ICMP.DLL"}, true},
    BindCase{"NothingLoads", {"quillbin-absent-1.dll", "quillbin-absent-2.dll"}, false},
    BindCase{"NoModules", {}, false},
    // A module without the entry points ends the binding: the next is not tried.
    BindCase{"MissingEntryPoints", {"kernel32.dll", "ICMP.DLL"}, false, IcmpBindError::NoEntryPoint}),
    [](const auto& c) { return std::string(c.param.name); });
// clang-format on

TEST(BindIcmpLibrary, ReleasesAModuleWithoutEntryPoints) {
    // A system module that nothing else here has loaded.
    const char* module = "msimg32.dll";
    ASSERT_EQ(::GetModuleHandleA(module), nullptr);
    std::vector<const char*> names{module};
    IcmpBinding binding = BindIcmpLibrary(names);
    ASSERT_TRUE(std::holds_alternative<IcmpBindError>(binding));
    EXPECT_EQ(::GetModuleHandleA(module), nullptr);
}

// Echoes to the loopback address through the real library.
class LoopbackEchoTest : public ::testing::Test {
protected:
    void SetUp() override {
        IcmpBinding binding = BindIcmpLibrary();
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<IcmpLibrary>>(binding));
        m_library = std::move(std::get<std::unique_ptr<IcmpLibrary>>(binding));
        m_handle = m_library->CreateEchoHandle();
        ASSERT_NE(m_handle, nullptr);
    }

    static constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1, network order
    std::unique_ptr<IcmpLibrary> m_library;
    std::unique_ptr<IcmpEchoHandle> m_handle;
};

TEST_F(LoopbackEchoTest, EchoesThePayloadBack) {
    for (std::string payload : {std::string(), std::string("\x82\xE0\x82\xB1"), std::string(1500, 'k')}) {
        EchoReply reply = m_handle->SendEcho(kLoopback, payload, EchoRequestOptions{64, 0});
        ASSERT_TRUE(reply.written) << reply.lastError;
        EXPECT_EQ(reply.status, 0u);
        EXPECT_EQ(reply.address, kLoopback);
        EXPECT_EQ(reply.dataSize, payload.size());
        ASSERT_TRUE(reply.data.has_value());
        EXPECT_EQ(*reply.data, payload);
        EXPECT_GT(reply.ttl, 0);
    }
}

TEST_F(LoopbackEchoTest, RepliesStayReadableUntilTheNextEcho) {
    EchoReply first = m_handle->SendEcho(kLoopback, "first", EchoRequestOptions{64, 0});
    ASSERT_TRUE(first.data.has_value());
    EXPECT_EQ(*first.data, "first");
    EchoReply second = m_handle->SendEcho(kLoopback, "second!", EchoRequestOptions{64, kIpFlagDontFragment});
    ASSERT_TRUE(second.data.has_value());
    EXPECT_EQ(*second.data, "second!");
}

// A whole run on the Win32 platform, bound to the recording library: what
// IcmpSendEcho receives from the settings. Wine drops the flags on the way
// to the wire, so this is where a checked Don't Fragment box can be seen.
class RecordingIcmpBindings final : public Win32EchoBindings, public EchoDisplay, public ResultsNotifier {
public:
    IcmpBinding BindIcmp() override { return BindIcmpLibrary(kModule); }
    void ClearResultList() override {}
    void AddResultLine(std::string_view line) override { lines.emplace_back(line); }
    void SetStatusText(std::string_view) override {}
    void NotifyGhosts(std::string_view) override {}
    EchoRoles Roles() {
        return {.display = *this, .icmp = *this, .resolver = *this, .clock = *this, .notifier = *this};
    }

    static constexpr const char* kModule[] = {"recording_icmp.dll"};
    std::vector<std::string> lines;
};

TEST(IcmpSendEcho, ReceivesTheRequestAsWindowsDoes) {
    struct Case {
        int32_t dontFragment;  // the settings file's value: any nonzero one checks the box
        uint32_t ttl, dataSize;
        UCHAR flags;
    };
    for (const Case c : {Case{0, 255, 18, 0x00}, Case{1, 255, 18, 0x02}, Case{0, 1, 0, 0x00}, Case{1, 1, 0, 0x02},
                         Case{0, 64, 1500, 0x00}, Case{1, 128, 1500, 0x02}, Case{7, 30, 18, 0x02}}) {
        const std::string label =
            std::to_string(c.dontFragment) + "/" + std::to_string(c.ttl) + "/" + std::to_string(c.dataSize);
        ForgetRecordedIcmp();
        RecordingIcmpBindings platform;
        EchoRun({.host = "127.0.0.1", .count = 1, .dataSize = c.dataSize, .dontFragment = c.dontFragment, .ttl = c.ttl},
                platform.Roles());

        const testing::RecordedIcmpCalls& calls = *RecordedIcmp();
        ASSERT_EQ(calls.sends, 1) << label;
        EXPECT_EQ(calls.handle, testing::kRecordingIcmpHandle) << label;
        EXPECT_EQ(calls.destination, 0x0100007Fu) << label;
        ASSERT_TRUE(calls.hasOptions) << label;
        EXPECT_EQ(calls.options.Ttl, c.ttl) << label;
        EXPECT_EQ(calls.options.Tos, 0) << label;
        EXPECT_EQ(calls.options.Flags, c.flags) << label;
        EXPECT_EQ(calls.options.OptionsSize, 0) << label;
        EXPECT_EQ(calls.options.OptionsData, nullptr) << label;
        EXPECT_EQ(calls.timeout, 5000u) << label;
        EXPECT_NE(calls.replyBuffer, nullptr) << label;
        EXPECT_GE(calls.replySize, sizeof(ICMP_ECHO_REPLY) + c.dataSize + 8) << label;

        std::string payload(c.dataSize + 1, '\0');
        BuildEchoPayload(payload.data(), c.dataSize);
        payload.pop_back();
        ASSERT_EQ(calls.requestSize, c.dataSize) << label;
        EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(calls.requestData.data()), c.dataSize), payload);
        // Answered as Windows answers on loopback, the echo shows OK, and its
        // handle is closed once.
        const std::string ok = "OK 127.0.0.1 Time=0ms TTL=128 (" + std::to_string(c.dataSize) + " : " + payload + ")";
        EXPECT_EQ(platform.lines, std::vector<std::string>{ok}) << label;
        EXPECT_EQ(calls.creates, 1) << label;
        EXPECT_EQ(calls.closes, 1) << label;
        EXPECT_EQ(calls.closed, testing::kRecordingIcmpHandle) << label;
    }
}

}  // namespace
}  // namespace quillbin::win
