#include "sstp/sstp_request.h"

#include <gtest/gtest.h>

#include <string>

namespace quillbin {
namespace {

TEST(SstpRequest, StartupRequestBytes) {
    const std::string expected = "NOTIFY SSTP/1.0\r\n"
                                 "Charset: Shift_JIS\r\n"
                                 "SecurityLevel: local\r\n"
                                 "Sender: ICMP Echo Quillbin\r\n"
                                 "HWnd: 123456\r\n"
                                 "Event: OnApplicationBoot\r\n"
                                 "Reference0: ICMP Echo Quillbin\r\n"
                                 "\r\n";
    std::string request = BuildSstpNotifyRequest(123456, kStartupEventBody);
    EXPECT_EQ(request, expected);
    EXPECT_EQ(request.size(), 161u);
}

TEST(SstpRequest, ClosingRequestBytes) {
    EXPECT_EQ(BuildSstpNotifyRequest(7, kClosingEventBody),
              "NOTIFY SSTP/1.0\r\nCharset: Shift_JIS\r\nSecurityLevel: local\r\n"
              "Sender: ICMP Echo Quillbin\r\nHWnd: 7\r\n"
              "Event: OnApplicationClose\r\nReference0: ICMP Echo Quillbin\r\n\r\n");
}

TEST(SstpRequest, FixedPartsHaveTheirLengths) {
    EXPECT_EQ(kSstpNotifyHeader.size(), 87u);
    EXPECT_EQ(kStartupEventBody.size(), 58u);
    EXPECT_EQ(kClosingEventBody.size(), 59u);
    EXPECT_EQ(kSstpCopyDataId, 9801u);
}

struct LengthCase {
    uint32_t handle;
    size_t digits;
};

TEST(SstpRequest, LengthIs97PlusHandleDigitsPlusBody) {
    const LengthCase handles[] = {
        {0, 1}, {9, 1}, {10, 2}, {65536, 5}, {123456, 6}, {1000000, 7}, {4294967295u, 10},
    };
    // Results bodies carry code page 932 text (here ソ表, both trail bytes
    // 0x5C); the request passes them on untouched.
    const std::string bodies[] = {
        std::string(kStartupEventBody),
        std::string(kClosingEventBody),
        "Event: OnICMPEchoComplete\r\nReference0: \x83\x5C\x95\x5C\r\n",
        "",
    };
    for (const LengthCase& h : handles) {
        for (const std::string& body : bodies) {
            std::string request = BuildSstpNotifyRequest(h.handle, body);
            EXPECT_EQ(request.size(), 97 + h.digits + body.size()) << h.handle;
            EXPECT_EQ(request.find('\0'), std::string::npos);
            const std::string handleLine = "\r\nHWnd: " + std::to_string(h.handle) + "\r\n";
            EXPECT_EQ(request.substr(85, handleLine.size()), handleLine);
            EXPECT_EQ(request.substr(85 + handleLine.size(), body.size()), body);
            EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n");
        }
    }
}

}  // namespace
}  // namespace quillbin
