#include "framework/win/message_box.h"

#include "framework/win/wide_text.h"
#include "framework/win/win_app.h"

namespace quillbin::win {

int ShowMessageBox(HWND owner, std::string_view text) {
    std::wstring caption = ApplicationName();
    return ::MessageBoxW(owner, WideFromCp932(text).c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace quillbin::win
