// A probe loaded into the running program by the tests (a remote thread
// calls LoadLibraryW): it reads the main dialog's system menu, which another
// process cannot read (Wine keeps a menu's items in the process that made
// it), and writes it beside itself as "<dll>.txt", one item a line:
//   separator
//   item <id> <text in UTF-8>
// then "end". Nothing is kept running: the probe unloads itself.
#include <windows.h>

#include <string>
#include <string_view>

namespace {

HMODULE g_self = nullptr;  // the probe's own module: set once at load

std::string Utf8(std::wstring_view text) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    if (pid == ::GetCurrentProcessId() && std::wstring_view(caption) == L"ICMP Echo Quillbin") {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

std::string Report() {
    HWND dialog = nullptr;
    ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return "no dialog\n";
    HMENU menu = ::GetSystemMenu(dialog, FALSE);
    if (!menu) return "no system menu\n";
    std::string out;
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 256;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) return out + "unreadable\n";
        if (item.fType & MFT_SEPARATOR) {
            out += "separator\n";
        } else {
            out += "item " + std::to_string(item.wID) + " " + Utf8(text) + "\n";
        }
    }
    return out + "end\n";
}

DWORD WINAPI Probe(void*) {
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(g_self, path, MAX_PATH);
    std::wstring target = std::wstring(path, n) + L".txt";
    std::wstring partial = target + L".part";
    std::string report = Report();
    HANDLE file =
        ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
        ::CloseHandle(file);
        // Renamed only when complete: the test reads whole reports only.
        ::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ::FreeLibraryAndExitThread(g_self, 0);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        // The loader lock is held here: the work runs on a thread of its own.
        HANDLE thread = ::CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr);
        if (thread) ::CloseHandle(thread);
    }
    return TRUE;
}
