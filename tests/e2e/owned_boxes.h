// The modal boxes that the program opens over its dialog: the framework's
// message boxes and the About box, found as visible dialogs that the main
// dialog owns.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/dialog_ids.h"

namespace quillbin::win::e2e {

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};

// The first visible dialog owned by `owner` that is not the About box, or
// the About box; nullptr when there is none.
HWND FindMessageBox(HWND owner);
HWND FindAboutBox(HWND owner);
// How many About boxes the process of `owner` shows at this moment.
int CountAboutBoxes(HWND owner);

std::optional<MessageBoxSeen> WaitForMessageBox(HWND owner, DWORD timeoutMs);
HWND WaitForAboutBox(HWND owner, DWORD timeoutMs);

// Presses the box's OK button and waits (bounded) until the box is gone.
bool DismissBox(HWND box, DWORD timeoutMs = 5000);

}  // namespace quillbin::win::e2e
