// Reading and driving another process's windows the way a user's actions
// reach them: texts through the wide functions (the list box in particular:
// LB_GETTEXT sent with the A function to another process is broken in
// Wine 8), clicks and keys posted so they pass the dialog manager.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillbin::win::e2e {

// Time-out of every synchronous message these helpers send.
inline constexpr UINT kSendTimeoutMs = 5000;

std::wstring WindowText(HWND window);
bool SetWindowTextRemote(HWND window, std::wstring_view text);
std::wstring ClassName(HWND window);

std::vector<std::wstring> ListBoxLines(HWND listBox);
int ListBoxCount(HWND listBox);

// BST_CHECKED and so on; -1 when the control does not answer.
int CheckState(HWND button);

// The window with the keyboard focus in `window`'s thread, or nullptr.
HWND FocusOf(HWND window);
// EM_GETSEL of an edit control: first selected character, one past the last.
std::pair<DWORD, DWORD> EditSelection(HWND edit);

// A button pressed as a click would press it (BM_CLICK, posted).
void PostClick(HWND button);
// WM_COMMAND with BN_CLICKED from control `id`, posted to the dialog.
void PostCommand(HWND dialog, int id);
// A key stroke (down and up) posted to `target`, as the keyboard would send
// it to the focused control; the dialog manager of the target's loop sees it.
void PostKey(HWND target, UINT virtualKey);
// A key stroke delivered the way the system delivers the keyboard's: to the
// window with the focus in the dialog's thread or, when none has it, to the
// thread's active window as WM_SYSKEYDOWN and WM_SYSKEYUP. False when the
// thread has neither. Under Wine, SendInput reaches the dialog just the same
// once SetForegroundWindow has made it the foreground window (checked on
// Xvfb with unmanaged windows), but posting needs no foreground window and
// can never land in another program's window.
bool PressKey(HWND dialog, UINT virtualKey);
// A left click at the centre of `window`'s client area, posted to it.
void PostLeftClick(HWND window);

// Round trip of a WM_NULL through the window's thread: the milliseconds it
// took, or nothing when it was not answered within `timeoutMs`.
std::optional<double> ProbeMs(HWND window, UINT timeoutMs);

// The handle as the "HWnd" line of a request shows it.
std::string HandleDecimal(HWND window);

}  // namespace quillbin::win::e2e
