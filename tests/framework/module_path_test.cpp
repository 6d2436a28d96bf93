// The executable's name and path: how the application is named, and how a
// path of unknown length is fetched without ever handing on a cut one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "base/growing_buffer.h"
#include "framework/module_name.h"

namespace quillbin {
namespace {

TEST(ExecutableBaseName, DropsFolderAndExtension) {
    struct Case {
        std::u16string path;
        std::u16string name;
    } cases[] = {
        {u"C:\\tools\\pinger.exe", u"pinger"},
        {u"C:\\tools\\my ping.v2.exe", u"my ping.v2"},
        {u"C:\\dir.d\\noext", u"noext"},
        {u"C:\\tools\\a.b c", u"a.b c"},  // a blank after the last dot: no extension
        {u"D:pinger.exe", u"pinger"},
        {u"/unix/style/pinger.exe", u"pinger"},
        {u"pinger.exe", u"pinger"},
        {u"C:\\tools\\\u30d4\u30f3.exe", u"\u30d4\u30f3"},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(ExecutableBaseName(std::u16string_view(c.path)), c.name);
}

// Behaves like GetModuleFileName for a text of `length` characters: fills
// what fits, and returns the capacity when the text was cut.
struct FakeModuleFileName {
    std::string text;
    int calls = 0;
    size_t operator()(char* buffer, size_t capacity) {
        ++calls;
        size_t n = std::min(text.size(), capacity - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return text.size() >= capacity ? capacity : n;
    }
};

TEST(FetchWithGrowingBuffer, ReturnsTheWholeText) {
    for (size_t length : {size_t{1}, size_t{1022}, size_t{1023}, size_t{1024}, size_t{5000}, size_t{65535}}) {
        FakeModuleFileName fake{std::string(length, 'p')};
        auto text = FetchWithGrowingBuffer<char>(std::ref(fake), 1024, 65536);
        ASSERT_TRUE(text.has_value()) << length;
        EXPECT_EQ(*text, fake.text) << length;
    }
}

TEST(FetchWithGrowingBuffer, NeverHandsOnACutText) {
    FakeModuleFileName tooLong{std::string(65536, 'p')};
    EXPECT_FALSE(FetchWithGrowingBuffer<char>(std::ref(tooLong), 1024, 65536).has_value());
    EXPECT_EQ(tooLong.calls, 7);  // 1024 doubled up to 65536, then given up

    auto failing = [](char*, size_t) -> size_t { return 0; };
    EXPECT_FALSE(FetchWithGrowingBuffer<char>(failing, 1024, 65536).has_value());
}

}  // namespace
}  // namespace quillbin
