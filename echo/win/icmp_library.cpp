#include "echo/win/icmp_library.h"

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <array>

#include "echo/win/echo_reply_reader.h"
#include "echo/win/unique_icmp_handle.h"
#include "framework/win/unique_handle.h"
#include "settings/ping_settings.h"

namespace quillbin::win {

namespace {

using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD, DWORD);

// Windows wants room for the reply record, the echoed data and 8 bytes more
// (an ICMP error message); a smaller area fails every echo with 11050.
static_assert(kReplyAreaSize >= sizeof(ICMP_ECHO_REPLY) + kDataSizeRange.maximum + 8,
              "the reply area must hold the record, the largest echo and 8 bytes");

// GetProcAddress gives a generic function pointer; the cast to the real
// signature goes through void* to keep the compiler's cast warning quiet.
template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class Win32IcmpEchoHandle final : public IcmpEchoHandle {
public:
    Win32IcmpEchoHandle(UniqueIcmpHandle handle, IcmpSendEchoFn send) : m_handle(std::move(handle)), m_send(send) {}

    EchoReply SendEcho(uint32_t destination, std::string_view payload, const EchoRequestOptions& options) override {
        IP_OPTION_INFORMATION request{};
        request.Ttl = options.ttl;
        request.Flags = options.flags;
        request.OptionsSize = 0;
        request.OptionsData = nullptr;
        // The payload is at most 1500 bytes, well within the WORD the call takes.
        DWORD replies =
            m_send(m_handle.get(), destination, const_cast<char*>(payload.data()), static_cast<WORD>(payload.size()),
                   &request, m_replyArea.data(), static_cast<DWORD>(m_replyArea.size()), kEchoTimeoutMs);
        DWORD lastError = replies == 0 ? ::GetLastError() : 0;
        return ReadEchoReply(m_replyArea, replies, lastError);
    }

private:
    UniqueIcmpHandle m_handle;
    IcmpSendEchoFn m_send;
    // The record holds a pointer, so the area is aligned for one.
    alignas(8) std::array<unsigned char, kReplyAreaSize> m_replyArea{};
};

class Win32IcmpLibrary final : public IcmpLibrary {
public:
    Win32IcmpLibrary(UniqueModule module, IcmpCreateFileFn create, IcmpCloseHandleFn close, IcmpSendEchoFn send)
        : m_module(std::move(module)), m_create(create), m_close(close), m_send(send) {}

    std::unique_ptr<IcmpEchoHandle> CreateEchoHandle() override {
        UniqueIcmpHandle handle(m_create(), m_close);
        if (!handle) return nullptr;
        return std::make_unique<Win32IcmpEchoHandle>(std::move(handle), m_send);
    }

private:
    UniqueModule m_module;
    IcmpCreateFileFn m_create;
    IcmpCloseHandleFn m_close;
    IcmpSendEchoFn m_send;
};

}  // namespace

IcmpBinding BindIcmpLibrary(std::span<const char* const> moduleNames) {
    UniqueModule module;
    for (const char* name : moduleNames) {
        module.reset(::LoadLibraryA(name));
        if (module) break;
    }
    if (!module) return IcmpBindError::NoLibrary;

    // All three are looked up before any is tested.
    auto create = EntryPoint<IcmpCreateFileFn>(module.get(), "IcmpCreateFile");
    auto close = EntryPoint<IcmpCloseHandleFn>(module.get(), "IcmpCloseHandle");
    auto send = EntryPoint<IcmpSendEchoFn>(module.get(), "IcmpSendEcho");
    if (!create || !close || !send) return IcmpBindError::NoEntryPoint;

    return std::make_unique<Win32IcmpLibrary>(std::move(module), create, close, send);
}

}  // namespace quillbin::win
