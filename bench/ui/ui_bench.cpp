// The UI benchmark, run under Wine by scripts/bench-ui.sh. It prints, never
// asserts:
//   - start-up: from process creation to the start-up event reaching the demo
//     ghost host, and to the dialog showing, against bare_dialog.exe (the same
//     framework and a like template, nothing else) showing its dialog;
//   - memory of the program before and after one long run to 127.0.0.1: peak
//     and current working set, from GetProcessMemoryInfo and from the Wine
//     process's /proc/<pid>/status (VmHWM, VmRSS);
//   - the longest time the window took to answer a WM_NULL while a run's
//     results waited on a ghost that hangs for 6 s.
// Usage: ui_bench.exe [--rounds N] [--echoes N]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/wide_text.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/ghost_events.h"
#include "tests/e2e/program_with_ghost_host.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace {

using namespace quillbin::win;
using namespace quillbin::win::e2e;
using quillbin::LoggedRequest;

constexpr DWORD kFinePollMs = 1;

struct Series {
    std::vector<double> values;

    void Add(double v) { values.push_back(v); }
    double At(double fraction) const {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        size_t i = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
        return sorted[i];
    }
    void Print(const char* what) const {
        if (values.empty()) {
            std::printf("  %-38s no data\n", what);
            return;
        }
        std::printf("  %-38s %8.0f %8.0f %8.0f ms\n", what, At(0.5), At(0.0), At(1.0));
    }
};

bool Close(QuillbinProcess& program) {
    PressKey(program.Dialog(), VK_ESCAPE);
    return program.WaitForExit(15000);
}

void StartUp(int rounds) {
    std::printf("start-up, %d rounds                        median      min      max\n", rounds);
    Series bootEvent, programShown, bareShown;
    GhostHostProcess host;
    if (!host.ready()) {
        std::printf("  the demo ghost host did not start: %s\n", host.error().c_str());
        return;
    }
    for (int round = 0; round < rounds; ++round) {
        {
            QuillbinProcess program;
            if (!program.Start(20000, kFinePollMs)) {
                std::printf("  program: %s\n", program.error().c_str());
                return;
            }
            programShown.Add(::GetTickCount() - program.StartTick());
            std::string sender = HandleDecimal(program.Dialog());
            for (const LoggedRequest& boot : EventsNamed(host, kBootEvent)) {
                if (std::to_string(boot.sender) == sender) bootEvent.Add(boot.tick - program.StartTick());
            }
            Close(program);
        }
        {
            ProgramOptions options;
            options.source = options.fileName = L"bare_dialog.exe";
            options.caption = L"Bare Dialog";
            QuillbinProcess bare(options);
            if (!bare.Start(20000, kFinePollMs)) {
                std::printf("  bare dialog: %s\n", bare.error().c_str());
                return;
            }
            bareShown.Add(::GetTickCount() - bare.StartTick());
            Close(bare);
        }
    }
    bootEvent.Print("program: start-up event at the host");
    programShown.Print("program: dialog shown");
    bareShown.Print("bare dialog: dialog shown");
}

struct UnixMemory {
    unsigned long hwmKiB = 0;
    unsigned long rssKiB = 0;
};

// The Wine process's own status, found by the copy's unique path in its
// command line (Wine's processes show their Windows command line there).
std::optional<UnixMemory> UnixMemoryOf(const std::wstring& programPath) {
    std::wstring folderPath = programPath.substr(0, programPath.find_last_of(L'\\'));
    std::string folder = Cp932FromWide(folderPath.substr(folderPath.find_last_of(L'\\') + 1));
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<UnixMemory> result;
    do {
        std::wstring pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        std::optional<std::string> commandLine = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\cmdline");
        if (!commandLine || commandLine->find(folder) == std::string::npos) continue;
        std::optional<std::string> status = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\status");
        if (!status) continue;
        UnixMemory memory;
        for (const std::string& line : FileLines(*status)) {
            if (line.rfind("VmHWM:", 0) == 0) memory.hwmKiB = std::strtoul(line.c_str() + 6, nullptr, 10);
            if (line.rfind("VmRSS:", 0) == 0) memory.rssKiB = std::strtoul(line.c_str() + 6, nullptr, 10);
        }
        result = memory;
        break;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return result;
}

void PrintMemory(const char* when, QuillbinProcess& program) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    double mib = 1024.0 * 1024.0;
    if (::GetProcessMemoryInfo(program.Process(), &counters, sizeof counters)) {
        std::printf("  %-22s peak %6.1f MiB, now %6.1f MiB (GetProcessMemoryInfo)\n", when,
                    static_cast<double>(counters.PeakWorkingSetSize) / mib,
                    static_cast<double>(counters.WorkingSetSize) / mib);
    }
    if (std::optional<UnixMemory> unix = UnixMemoryOf(program.ProgramPath())) {
        std::printf("  %-22s VmHWM %5.1f MiB, VmRSS %5.1f MiB (/proc status of the Wine process)\n", "",
                    static_cast<double>(unix->hwmKiB) / 1024.0, static_cast<double>(unix->rssKiB) / 1024.0);
    }
}

void Memory(int echoes) {
    std::printf("memory, one run of %d echoes to 127.0.0.1 (data size 18)\n", echoes);
    ProgramWithGhostHost e2e;
    if (!e2e.Start()) {
        std::printf("  cannot start: %s\n", e2e.error().c_str());
        return;
    }
    auto& [host, program, dialog] = e2e;
    PrintMemory("before the run:", program);
    dialog.Fill({L"127.0.0.1", std::to_wstring(echoes), L"18", L"255"});
    DWORD started = ::GetTickCount();
    dialog.PressSend();
    if (!WaitForEvents(host, kResultsEvent, 1, 30 * 60 * 1000, {}) || !dialog.WaitIdle(60000)) {
        std::printf("  the run did not end\n");
        return;
    }
    std::printf("  the run took %.1f s; %zu lines, status %s\n", (::GetTickCount() - started) / 1000.0,
                dialog.Lines().size(), Utf8FromWide(dialog.Status()).c_str());
    PrintMemory("after the run:", program);
    Close(program);
}

void HungGhost() {
    std::printf("window answers while a run's results wait on a ghost that hangs for 6 s\n");
    ProgramWithGhostHost e2e({"--ghost", "Quick"});
    if (!e2e.Start()) {
        std::printf("  cannot start: %s\n", e2e.error().c_str());
        return;
    }
    auto& [host, program, dialog] = e2e;
    host.Command("add Hung:delay=6000");
    RefreshGhostsNow(program.Dialog());
    dialog.Fill({L"127.0.0.1", L"3", L"18", L"255"});
    dialog.PressSend();
    WaitUntil([&] { return !dialog.SendEnabled(); }, 5000, kFinePollMs);
    Series answers;
    size_t unanswered = 0;
    DWORD started = ::GetTickCount();
    while (!dialog.SendEnabled() && ::GetTickCount() - started < 30000) {
        if (std::optional<double> ms = ProbeMs(program.Dialog(), 10000)) {
            answers.Add(*ms);
        } else {
            ++unanswered;
        }
        ::Sleep(10);
    }
    std::printf("  %zu probes over %.1f s, %zu unanswered; answer median %.2f ms, longest %.2f ms\n",
                answers.values.size(), (::GetTickCount() - started) / 1000.0, unanswered,
                answers.values.empty() ? 0.0 : answers.At(0.5), answers.values.empty() ? 0.0 : answers.At(1.0));
    Close(program);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    int echoes = 999;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--echoes") == 0) echoes = std::clamp(std::atoi(argv[i + 1]), 1, 999);
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("code page %u\n\n", ::GetACP());
    StartUp(rounds);
    std::printf("\n");
    HungGhost();
    std::printf("\n");
    Memory(echoes);
    return 0;
}
