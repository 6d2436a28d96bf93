#include "tests/e2e/expected_texts.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstdint>
#include <cwctype>

#include "tests/e2e/window_access.h"

namespace quillbin::win::e2e {

std::string SstpRequest(HWND dialog, std::string_view body) {
    std::string request =
        "NOTIFY SSTP/1.0\r\nCharset: Shift_JIS\r\nSecurityLevel: local\r\nSender: ICMP Echo Quillbin\r\n";
    request += "HWnd: " + HandleDecimal(dialog) + "\r\n";
    request += body;
    request += "\r\n";
    return request;
}

unsigned LoopbackReplyTtl() {
    static const unsigned ttl = [] {
        HANDLE icmp = ::IcmpCreateFile();
        if (icmp == INVALID_HANDLE_VALUE) return 0u;
        char request[] = "ttl";
        alignas(8) unsigned char reply[sizeof(ICMP_ECHO_REPLY) + sizeof request + 8];
        DWORD replies = ::IcmpSendEcho(icmp, htonl(INADDR_LOOPBACK), request, sizeof request, nullptr, reply,
                                       sizeof reply, 5000);
        ::IcmpCloseHandle(icmp);
        return replies > 0 ? unsigned{reinterpret_cast<ICMP_ECHO_REPLY*>(reply)->Options.Ttl} : 0u;
    }();
    return ttl;
}

std::wstring LoopbackOkLineStart() {
    return L"OK 127.0.0.1 Time=?ms TTL=" + std::to_wstring(LoopbackReplyTtl()) + L" (";
}

std::wstring LoopbackOkLine() { return LoopbackOkLineStart() + L"18 : もこぴょんもこもこ)"; }

std::string LoopbackResultsBody(unsigned count) {
    std::string body = "Event: OnICMPEchoComplete\r\n";
    for (unsigned i = 0; i < count; ++i) {
        body += "Reference" + std::to_string(i) + ": OK\x01" + "127.0.0.1\x01?\x01" +
                std::to_string(LoopbackReplyTtl()) + "\r\n";
    }
    return body;
}

std::wstring MaskListTime(std::wstring_view line) {
    std::wstring out(line);
    size_t at = out.find(L"Time=");
    if (at == std::wstring::npos) return out;
    size_t digits = at + 5;
    size_t end = digits;
    while (end < out.size() && std::iswdigit(out[end])) ++end;
    if (end > digits && out.compare(end, 2, L"ms") == 0) out.replace(digits, end - digits, L"?");
    return out;
}

std::string MaskReferenceTimes(std::string_view request) {
    std::string out;
    size_t at = 0;
    while (at < request.size()) {
        size_t end = request.find("\r\n", at);
        end = end == std::string_view::npos ? request.size() : end + 2;
        std::string line(request.substr(at, end - at));
        at = end;
        // Four fields: status, address, time, TTL.
        size_t first = line.find('\x01');
        size_t second = first == std::string::npos ? first : line.find('\x01', first + 1);
        size_t third = second == std::string::npos ? second : line.find('\x01', second + 1);
        if (line.rfind("Reference", 0) == 0 && third != std::string::npos && third > second + 1) {
            line.replace(second + 1, third - second - 1, "?");
        }
        out += line;
    }
    return out;
}

std::vector<std::string> FileLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::string line(bytes.substr(at, end - at));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

std::vector<std::string> SettingsFileLines(const char* count, const char* size, const char* ttl,
                                           const char* dontFragment, const char* host) {
    return {"[General]",
            std::string("PingNum=") + count,
            std::string("PingSize=") + size,
            std::string("PingTTL=") + ttl,
            std::string("PingNF=") + dontFragment,
            std::string("PingHost=") + host};
}

}  // namespace quillbin::win::e2e
