// Checks the byte forms the tests compare against with an independent
// converter (iconv, native builds only).
#include <iconv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/framework/cp932_texts.h"

namespace quillbin::testing {
namespace {

std::string Cp932FromUtf8(const char* utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open fails with (iconv_t)-1, an integer made a pointer
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
    std::string in(utf8);
    std::string out(in.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = in.size();
    size_t dstLeft = out.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "<conversion failed>";
    out.resize(out.size() - dstLeft);
    return out;
}

TEST(Cp932Texts, MatchIconv) {
    for (const Cp932Text& text : kAllTexts) EXPECT_EQ(text.cp932, Cp932FromUtf8(text.utf8)) << text.utf8;
}

}  // namespace
}  // namespace quillbin::testing
