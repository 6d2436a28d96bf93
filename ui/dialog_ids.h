// The resource and control numbers of the two dialogs (ui/quillbin.rc), and
// the system-menu command that opens the About box.
#pragma once

namespace quillbin {

inline constexpr unsigned kMainDialogTemplate = 102;
inline constexpr unsigned kAboutDialogTemplate = 100;

inline constexpr unsigned kLargeIcon = 128;
inline constexpr unsigned kSmallIcon = 130;
// "バージョン情報(&A)...": the About entry of the system menu.
inline constexpr unsigned kAboutMenuText = 101;
// "結果をコピー(&C)": the one entry of the result list's context menu.
inline constexpr unsigned kCopyResultsMenuText = 103;
// The main dialog's keys: Ctrl+C copies the results (the list must have the focus).
inline constexpr unsigned kMainAccelerators = 102;

// Main dialog.
inline constexpr int kHostField = 1000;
inline constexpr int kCountField = 1001;
inline constexpr int kDontFragmentBox = 1002;
inline constexpr int kCountSpin = 1003;
inline constexpr int kSizeField = 1004;
inline constexpr int kSizeSpin = 1005;
inline constexpr int kSendButton = 1007;
inline constexpr int kResultList = 1009;
inline constexpr int kTtlField = 1010;
inline constexpr int kTtlSpin = 1011;
inline constexpr int kStatusLine = 1015;
inline constexpr int kAboutButton = 1017;

// About box: the two link labels, whose text is the address they open.
inline constexpr int kIconAuthorLink = 1012;
inline constexpr int kMakerLink = 1013;

// Copies the result list and the status line to the clipboard: sent by
// Ctrl+C on the list and by the list's context menu. The number window
// frameworks give their Copy command.
inline constexpr unsigned kCopyResultsCommand = 0xE122;

// The system menu's About command. Windows keeps the low four bits of a
// system command for itself, so 16 to 31 all arrive as this one.
inline constexpr unsigned kAboutSysCommand = 0x0010;
inline constexpr unsigned kSysCommandMask = 0xFFF0;

// Timer 1 refreshes the ghost list.
inline constexpr unsigned kRefreshTimer = 1;
inline constexpr unsigned kRefreshPeriodMs = 5000;

}  // namespace quillbin
