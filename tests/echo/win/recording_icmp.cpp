#define QUILLBIN_RECORDING_ICMP_DLL
#include "tests/echo/win/recording_icmp.h"

#include <algorithm>
#include <cstring>

// The entry points' signatures are fixed: what they saw can live only here.
static quillbin::testing::RecordedIcmpCalls g_calls{};

extern "C" {

__declspec(dllexport) HANDLE WINAPI IcmpCreateFile() {
    ++g_calls.creates;
    return quillbin::testing::kRecordingIcmpHandle;
}

__declspec(dllexport) BOOL WINAPI IcmpCloseHandle(HANDLE handle) {
    ++g_calls.closes;
    g_calls.closed = handle;
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI
    IcmpSendEcho(HANDLE handle, IPAddr destination, LPVOID requestData, WORD requestSize,
                 PIP_OPTION_INFORMATION options, LPVOID replyBuffer, DWORD replySize, DWORD timeout) {
    ++g_calls.sends;
    g_calls.handle = handle;
    g_calls.destination = destination;
    g_calls.requestSize = requestSize;
    std::memcpy(g_calls.requestData.data(), requestData, std::min<size_t>(requestSize, g_calls.requestData.size()));
    g_calls.hasOptions = options != nullptr;
    if (options) g_calls.options = *options;
    g_calls.replyBuffer = replyBuffer;
    g_calls.replySize = replySize;
    g_calls.timeout = timeout;

    // Windows fails an echo whose reply might not fit: the record, the data
    // and 8 bytes for an ICMP error.
    if (!replyBuffer || replySize < sizeof(ICMP_ECHO_REPLY) + requestSize + 8) {
        ::SetLastError(IP_GENERAL_FAILURE);
        return 0;
    }
    // Its answer on loopback: the data right after the record, TTL 128.
    auto* area = static_cast<unsigned char*>(replyBuffer);
    ICMP_ECHO_REPLY record{};
    record.Address = destination;
    record.DataSize = requestSize;
    record.Data = area + sizeof record;
    record.Options.Ttl = 128;
    std::memcpy(area, &record, sizeof record);
    std::memcpy(area + sizeof record, requestData, requestSize);
    return 1;
}

RECORDING_ICMP_API const quillbin::testing::RecordedIcmpCalls* RecordedIcmp() { return &g_calls; }
RECORDING_ICMP_API void ForgetRecordedIcmp() { g_calls = {}; }

}  // extern "C"
