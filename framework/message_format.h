// Fills the numbered places of a message template, as the framework's
// messages are written ("%1 ... %2 ..."). Works on code page 932 bytes: no
// trail byte of a double-byte character can be '%' or a digit, so a byte
// scan never splits a character.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quillbin {

// "%1" to "%9" become the matching argument. A '%' before anything else,
// or a number with no argument, is kept as written so the slip shows.
std::string FormatMessageArgs(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace quillbin
