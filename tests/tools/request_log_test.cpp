#include "tools/ghost_host/request_log.h"

#include <gtest/gtest.h>

namespace quillbin {
namespace {

LoggedRequest Request(std::string ghost, std::string bytes, uint32_t index = 0) {
    LoggedRequest r;
    r.ghost = std::move(ghost);
    r.index = index;
    r.hwnd = 65600;
    r.dwData = 9801;
    r.cbData = static_cast<uint32_t>(bytes.size());
    r.sender = 131234;
    r.tick = 4294967295u;
    r.bytes = std::move(bytes);
    return r;
}

TEST(RequestLog, HeaderLineHasTheAgreedFieldsInOrder) {
    EXPECT_EQ(FormatRequestLogRecord(Request("Quillbin Demo Ghost", "ab\r\n", 2)),
              "@request ghost=Quillbin Demo Ghost index=2 hwnd=65600 dwData=9801 cbData=4 sender=131234 "
              "tick=4294967295\nab\r\n\n");
}

TEST(RequestLog, RecordsSurviveWhateverTheirBytesHold) {
    const std::vector<LoggedRequest> requests = {
        Request("A", ""),
        Request("name with index=3 and  blanks index=4", "x"),
        Request("B", std::string("NUL\0inside\n@request ghost=X index=0 hwnd=0\n", 43)),
        Request("\xE3\x82\xB4", "\x83\x53\x81\x5C\x83\x58\x83\x67\n\n"),  // UTF-8 name, CP932 bytes
        Request("C", std::string(70000, '\n')),
    };
    std::string log;
    for (const auto& r : requests) log += FormatRequestLogRecord(r);
    RequestLogReading reading = ParseRequestLog(log);
    EXPECT_FALSE(reading.malformed);
    EXPECT_EQ(reading.consumed, log.size());
    EXPECT_EQ(reading.requests, requests);
}

TEST(RequestLog, ARecordStillBeingWrittenIsLeftForLater) {
    std::string first = FormatRequestLogRecord(Request("A", "first\n"));
    std::string log = first + FormatRequestLogRecord(Request("B", "second"));
    for (size_t cut = first.size(); cut < log.size(); ++cut) {
        RequestLogReading reading = ParseRequestLog(std::string_view(log).substr(0, cut));
        ASSERT_FALSE(reading.malformed) << "cut at " << cut;
        ASSERT_EQ(reading.requests.size(), 1u) << "cut at " << cut;
        ASSERT_EQ(reading.consumed, first.size());
    }
}

TEST(RequestLog, LineBreaksInANameCannotSplitTheHeader) {
    std::string log = FormatRequestLogRecord(Request("two\nlines\r", "z"));
    RequestLogReading reading = ParseRequestLog(log);
    ASSERT_EQ(reading.requests.size(), 1u);
    EXPECT_EQ(reading.requests[0].ghost, "two?lines?");
    EXPECT_EQ(reading.requests[0].bytes, "z");
}

TEST(RequestLog, StopsAtWhatIsNoRecord) {
    std::string good = FormatRequestLogRecord(Request("A", "ok"));
    const struct {
        const char* name;
        std::string tail;
    } cases[] = {
        {"garbage line", "hello\n"},
        {"garbage without line end", "hello"},
        {"missing field", "@request ghost=A index=0 hwnd=1 dwData=2 cbData=0 sender=3\n\n"},
        {"field out of order", "@request ghost=A hwnd=1 index=0 dwData=2 cbData=0 sender=3 tick=4\n\n"},
        {"not a number", "@request ghost=A index=x hwnd=1 dwData=2 cbData=0 sender=3 tick=4\n\n"},
        {"index beyond 32 bits", "@request ghost=A index=4294967296 hwnd=1 dwData=2 cbData=0 sender=3 tick=4\n\n"},
        {"bytes not closed by LF", "@request ghost=A index=0 hwnd=1 dwData=2 cbData=2 sender=3 tick=4\nabc"},
        {"trailing text", "@request ghost=A index=0 hwnd=1 dwData=2 cbData=0 sender=3 tick=4 more=5\n\n"},
    };
    for (const auto& c : cases) {
        RequestLogReading reading = ParseRequestLog(good + c.tail);
        EXPECT_TRUE(reading.malformed) << c.name;
        EXPECT_EQ(reading.requests.size(), 1u) << c.name;
        EXPECT_EQ(reading.consumed, good.size()) << c.name;
    }
}

}  // namespace
}  // namespace quillbin
