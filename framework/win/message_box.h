// The framework's message box, as the data exchange shows it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quillbin::win {

// Captioned with ApplicationName(). `text` is code page 932 bytes, converted explicitly and shown through the
// wide functions, so it reads right whatever the ANSI code page. An
// exclamation icon and one OK button.
int ShowMessageBox(HWND owner, std::string_view text);

}  // namespace quillbin::win
