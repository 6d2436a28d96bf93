// Putting text on the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace quillbin::win {

// Replaces the clipboard's content with `text` as CF_UNICODETEXT, owned by
// `owner`. False when the clipboard could not be had (another program keeps
// it open) or the memory for the text could not be allocated; the clipboard
// then holds what it held before.
bool SetClipboardText(HWND owner, std::wstring_view text);

}  // namespace quillbin::win
