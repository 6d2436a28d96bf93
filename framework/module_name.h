// The application is named after its executable: the file name without its
// folder and extension. The rules are the shell's (a ':' or either slash ends
// the folder part; the extension starts at the last '.' that no blank or
// backslash follows), so "C:\tools\my ping.v2.exe" is named "my ping.v2".
// Meant for UTF-16 paths: in code page 932 bytes a trail byte can be '\'.
#pragma once

#include <string_view>

namespace quillbin {

template <typename Char>
std::basic_string_view<Char> ExecutableBaseName(std::basic_string_view<Char> path) {
    size_t start = 0;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        Char c = path[i];
        if (c == Char('\\') || c == Char('/') || c == Char(':')) start = i + 1;
    }
    std::basic_string_view<Char> name = path.substr(start);
    size_t end = name.size();
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == Char('\\') || name[i] == Char(' ')) {
            end = name.size();
        } else if (name[i] == Char('.')) {
            end = i;
        }
    }
    return name.substr(0, end);
}

}  // namespace quillbin
