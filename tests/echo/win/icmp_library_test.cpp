#include "echo/win/icmp_library.h"

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <gtest/gtest.h>

#include <vector>

#include "echo/win/unique_icmp_handle.h"

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

}  // namespace
}  // namespace quillbin::win
