// Puts the program into the states the screenshots show (the main dialog
// after a run, then the About box over it) and asks screenshots.sh to take
// each picture: it writes NAME.rect ("x y width height", the window's screen
// rectangle) into the folder given, waits for NAME.png, and goes on.
// NAME ends with the ANSI code page, so both locales' pictures sit side by
// side. Usage: e2e_screenshots.exe FOLDER (a Unix path).
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "framework/win/wide_text.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/owned_boxes.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace {

using namespace quillbin::win;
using namespace quillbin::win::e2e;

int Fail(const std::string& why) {
    std::fprintf(stderr, "screenshots: %s\n", why.c_str());
    return 1;
}

std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:" + WideFromUtf8(unixPath);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    if (path.back() != L'\\') path += L'\\';
    return path;
}

// Lets the window finish painting, then has it captured.
bool Capture(const std::wstring& folder, const std::wstring& name, HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ProbeMs(window, 5000);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::string line = std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                       std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) + "\n";
    std::wstring picture = folder + name + L".png";
    ::DeleteFileW(picture.c_str());
    if (!WriteWholeFile(folder + name + L".rect.part", line) ||
        !::MoveFileExW((folder + name + L".rect.part").c_str(), (folder + name + L".rect").c_str(),
                       MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    return WaitUntil([&] { return ::GetFileAttributesW(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000, 50);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return Fail("usage: e2e_screenshots.exe FOLDER");
    std::wstring folder = WindowsPath(argv[1]);
    std::wstring tag = L"-cp" + std::to_wstring(::GetACP());

    QuillbinProcess program;
    if (!program.Start()) return Fail(program.error());
    DialogDriver dialog(program.Dialog());
    // The pictures go into the READMEs when they change (tests/docs): a
    // process's first echo waits for Wine's ICMP service to start, so one
    // echo first, and the pictured times come out alike from run to run.
    for (const wchar_t* count : {L"1", L"4"}) {
        if (!dialog.Fill({L"127.0.0.1", count, L"18", L"255"})) return Fail("cannot fill the fields");
        dialog.PressSend();
        std::wstring done = std::wstring(L"OK=") + count;
        if (!WaitUntil([&] { return dialog.Status() == done; }, 30000) || !dialog.WaitIdle(30000)) {
            return Fail("the run did not end with " + Utf8FromWide(done));
        }
    }
    // The focus where the results are copied from, the same in every picture.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(program.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Item(kResultList)), TRUE,
                          SMTO_NORMAL, kSendTimeoutMs, &ignored);
    if (!Capture(folder, L"main" + tag, program.Dialog())) return Fail("main dialog not captured");

    PostCommand(program.Dialog(), kAboutButton);
    HWND about = WaitForAboutBox(program.Dialog(), 5000);
    if (!about) return Fail("no About box");
    ProbeMs(about, 5000);
    // The main dialog's rectangle holds the About box, centred over it.
    if (!Capture(folder, L"about" + tag, program.Dialog())) return Fail("About box not captured");
    DismissBox(about);
    WaitUntil([&] { return ::IsWindowEnabled(program.Dialog()) != FALSE; }, 5000);
    PressKey(program.Dialog(), VK_ESCAPE);
    if (!program.WaitForExit(10000)) return Fail("the program did not end");
    return 0;
}
