// desktop_keeper.exe READY_FILE: holds a prefix's Wine desktop for a whole
// test run. Wine ends the desktop's process about a second after the last
// window on it goes, and the next window starts a new one, which takes the
// output of the program whose window started it. CTest then counts that
// test as running until the desktop ends: seconds, or as long as other tests
// keep windows open. Started by the run's set-up with no output attached,
// this program makes the desktop first and keeps a window on it until the
// wineserver ends it. READY_FILE is written once the desktop is up.
#include <windows.h>

#include "tests/support/files.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR readyFile, int) {
    // Never shown: it only has to exist.
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    if (!quillbin::win::WriteWholeFile(readyFile, "ready")) return 2;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
