// UTF-8 to code page 932 by the C library's iconv: an oracle independent of
// the bytes typed into the sources. Native builds only (MinGW has no iconv).
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace quillbin::testing {

// Empty when there is no converter or the text does not convert.
inline std::string Cp932FromUtf8(std::string_view utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open fails with (iconv_t)-1, an integer made a pointer
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string in(utf8);
    std::string out(in.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = in.size();
    size_t dstLeft = out.size();
    const size_t converted = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (converted == static_cast<size_t>(-1)) return {};
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace quillbin::testing
