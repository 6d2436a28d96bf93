// Turns the raw bytes of a received request into lines a person can read in
// the host's window: split at line ends, every other control byte written as
// <XX> so the SSTP field separators (0x01) and stray NULs stay visible. Works
// on code page 932 bytes before they are decoded: no control byte can be the
// second byte of a double-byte character, so none is ever split from one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillbin {

// How much of one request the window keeps and shows.
inline constexpr size_t kShownRequestBytes = 4096;

// `shown` is the start of a request of `totalSize` bytes. A CR LF pair, a
// lone CR or a lone LF ends a line; the line end after the last line opens
// no new one. When part of the request is not shown, a last line says how
// much.
std::vector<std::string> RequestDisplayLines(std::string_view shown, size_t totalSize);

}  // namespace quillbin
