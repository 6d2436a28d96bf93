// The program's entry point. Linked into the executable itself (not taken
// from the library), so that the C runtime's reference to WinMain finds it.
#include <windows.h>

#include "framework/win/win_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return quillbin::win::RunApplication(instance); }
