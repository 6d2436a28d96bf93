// How the echo driver prints what a run produced: one record per line,
// control bytes as escapes, round-trip times masked on request. The texts
// arrive here already converted to UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillbin {

// Backslash, CR, LF, tab as \\ \r \n \t; other bytes below 0x20 and 0x7F as
// \xHH. Bytes of 0x80 and above (UTF-8) stay as they are.
std::string EscapeControlBytes(std::string_view text);

// "Time=<digits>ms" in a result-list line becomes "Time=*ms".
std::string MaskListLineTime(std::string_view line);

// The time field of a Reference line ("...\x01address\x01time\x01ttl\r\n")
// becomes "*" when it holds a number; lines with empty fields stay as they are.
std::string MaskReferenceLineTime(std::string_view line);

// The body cut after every CR LF; a last piece without one is kept too.
std::vector<std::string_view> SplitBodyLines(std::string_view body);

}  // namespace quillbin
