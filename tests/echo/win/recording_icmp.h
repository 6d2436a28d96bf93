// recording_icmp.dll stands in for the ICMP service library: it exports the
// three entry points the program binds by name, keeps what the calls
// received and answers an echo as Windows answers one on loopback. Wine drops
// the request's flags before the wire; here they can be seen.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <array>

#ifdef QUILLBIN_RECORDING_ICMP_DLL
#define RECORDING_ICMP_API __declspec(dllexport)
#else
#define RECORDING_ICMP_API __declspec(dllimport)
#endif

namespace quillbin::testing {

inline const HANDLE kRecordingIcmpHandle = reinterpret_cast<HANDLE>(uintptr_t{0x1C3F});

struct RecordedIcmpCalls {
    int creates, closes, sends;
    HANDLE closed;
    // The last IcmpSendEcho call's arguments.
    HANDLE handle;
    IPAddr destination;
    std::array<unsigned char, 2048> requestData;  // its first bytes
    WORD requestSize;
    bool hasOptions;
    IP_OPTION_INFORMATION options;
    void* replyBuffer;
    DWORD replySize, timeout;
};

}  // namespace quillbin::testing

extern "C" {
RECORDING_ICMP_API const quillbin::testing::RecordedIcmpCalls* RecordedIcmp();
RECORDING_ICMP_API void ForgetRecordedIcmp();
}
