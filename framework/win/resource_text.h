// Texts from the executable's string table.
#pragma once

#include <string>

namespace quillbin::win {

// The entry as UTF-16; empty when the table has no such entry.
std::wstring LoadWideString(unsigned id);
// The same entry as code page 932 bytes, the form every text of the system
// takes.
std::string LoadCp932String(unsigned id);

}  // namespace quillbin::win
