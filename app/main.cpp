#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxW(nullptr, L"ICMP Echo Quillbin: the dialog is not built yet.", L"quillbin",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
