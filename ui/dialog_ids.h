// The resource and control numbers of the two dialogs, and the commands and
// timer of the main dialog. ui/quillbin.rc includes this file too: the
// resource compiler reads the #define lines and skips the C++ part, so each
// number is written here alone.
#pragma once

// Resources.
#define IDD_ABOUT_DIALOG 100
// "バージョン情報(&A)...": the About entry of the system menu.
#define IDS_ABOUT_MENU_TEXT 101
#define IDD_MAIN_DIALOG 102
// The main dialog's keys: Ctrl+C copies the results (the list must have the focus).
#define IDR_MAIN_ACCELERATORS 102
// "結果をコピー(&C)": the one entry of the result list's context menu.
#define IDS_COPY_RESULTS_MENU_TEXT 103
#define IDI_LARGE_ICON 128
#define IDB_ABOUT_PICTURE 129
#define IDI_SMALL_ICON 130
#define IDB_ABOUT_BANNER 131

// Main dialog.
#define IDC_HOST_FIELD 1000
#define IDC_COUNT_FIELD 1001
#define IDC_DONT_FRAGMENT_BOX 1002
#define IDC_COUNT_SPIN 1003
#define IDC_SIZE_FIELD 1004
#define IDC_SIZE_SPIN 1005
#define IDC_SEND_BUTTON 1007
#define IDC_RESULT_LIST 1009
#define IDC_TTL_FIELD 1010
#define IDC_TTL_SPIN 1011
#define IDC_STATUS_LINE 1015
#define IDC_ABOUT_BUTTON 1017

// About box: the two link labels, whose text is the address they open.
#define IDC_ICON_AUTHOR_LINK 1012
#define IDC_MAKER_LINK 1013

// Copies the result list and the status line to the clipboard: sent by
// Ctrl+C on the list and by the list's context menu. The number window
// frameworks give their Copy command.
#define ID_COPY_RESULTS 0xE122

#ifndef RC_INVOKED

namespace quillbin {

inline constexpr unsigned kMainDialogTemplate = IDD_MAIN_DIALOG;
inline constexpr unsigned kAboutDialogTemplate = IDD_ABOUT_DIALOG;

inline constexpr unsigned kLargeIcon = IDI_LARGE_ICON;
inline constexpr unsigned kSmallIcon = IDI_SMALL_ICON;
inline constexpr unsigned kAboutMenuText = IDS_ABOUT_MENU_TEXT;
inline constexpr unsigned kCopyResultsMenuText = IDS_COPY_RESULTS_MENU_TEXT;
inline constexpr unsigned kMainAccelerators = IDR_MAIN_ACCELERATORS;

inline constexpr int kHostField = IDC_HOST_FIELD;
inline constexpr int kCountField = IDC_COUNT_FIELD;
inline constexpr int kDontFragmentBox = IDC_DONT_FRAGMENT_BOX;
inline constexpr int kCountSpin = IDC_COUNT_SPIN;
inline constexpr int kSizeField = IDC_SIZE_FIELD;
inline constexpr int kSizeSpin = IDC_SIZE_SPIN;
inline constexpr int kSendButton = IDC_SEND_BUTTON;
inline constexpr int kResultList = IDC_RESULT_LIST;
inline constexpr int kTtlField = IDC_TTL_FIELD;
inline constexpr int kTtlSpin = IDC_TTL_SPIN;
inline constexpr int kStatusLine = IDC_STATUS_LINE;
inline constexpr int kAboutButton = IDC_ABOUT_BUTTON;

inline constexpr int kIconAuthorLink = IDC_ICON_AUTHOR_LINK;
inline constexpr int kMakerLink = IDC_MAKER_LINK;

inline constexpr unsigned kCopyResultsCommand = ID_COPY_RESULTS;

// The system menu's About command. Windows keeps the low four bits of a
// system command for itself, so 16 to 31 all arrive as this one.
inline constexpr unsigned kAboutSysCommand = 0x0010;
inline constexpr unsigned kSysCommandMask = 0xFFF0;

// Timer 1 refreshes the ghost list.
inline constexpr unsigned kRefreshTimer = 1;
inline constexpr unsigned kRefreshPeriodMs = 5000;

}  // namespace quillbin

#endif  // RC_INVOKED
