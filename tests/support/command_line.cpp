#include "tests/support/command_line.h"

namespace quillbin {

std::wstring QuoteCommandLineArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        return std::wstring(argument);
    }
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote escape it, so each must be doubled and the
        // quote itself escaped; elsewhere they stand for themselves.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    // The closing quote follows: the trailing backslashes must not escape it.
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

std::wstring JoinCommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring out;
    for (const std::wstring& argument : arguments) {
        if (!out.empty()) out += L' ';
        out += QuoteCommandLineArgument(argument);
    }
    return out;
}

}  // namespace quillbin
