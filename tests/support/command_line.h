// Joins arguments into one Windows command line that CommandLineToArgvW (and
// the C runtime) split back into the same arguments: blanks and quotes are
// quoted, and backslashes are doubled only where a quote follows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillbin {

std::wstring QuoteCommandLineArgument(std::wstring_view argument);
std::wstring JoinCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace quillbin
