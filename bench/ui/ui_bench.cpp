// The UI benchmark, run under Wine by scripts/bench-ui.sh. It prints, never
// asserts:
//   - start-up: from process creation to the start-up event reaching the demo
//     ghost host, and to the dialog showing, against bare_dialog.exe (the same
//     framework and a like template, nothing else) showing its dialog;
//   - memory of the program before and after each of three long runs to
//     127.0.0.1 in one process: peak and current working set, from
//     GetProcessMemoryInfo and from the Wine process's /proc/<pid>/status
//     (VmHWM, VmRSS), and which mappings (/proc/<pid>/smaps) the growth of
//     the first run and of the later ones went to;
//   - the longest time the window took to answer a WM_NULL while a run's
//     results waited on a ghost that hangs for 6 s.
// Run with QB_SILENT_HOST set (scripts/bench-ui.sh does so through
// tests/e2e/silent_host.sh, inside network namespaces whose host drops every
// echo), it prints instead what closing during a run looks like: Esc during
// the second echo, and how long until the window is hidden, the closing
// event arrives and the process ends, with the events and settings writes.
// Usage: ui_bench.exe [--rounds N] [--echoes N]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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

// The Wine process of the copy, found by the copy's unique folder in its
// command line (Wine's processes show their Windows command line there).
std::optional<std::wstring> UnixPidOf(const std::wstring& programPath) {
    std::wstring folderPath = programPath.substr(0, programPath.find_last_of(L'\\'));
    std::string folder = Cp932FromWide(folderPath.substr(folderPath.find_last_of(L'\\') + 1));
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::wstring> result;
    do {
        std::wstring pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        std::optional<std::string> commandLine = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\cmdline");
        if (!commandLine || commandLine->find(folder) == std::string::npos) continue;
        result = pid;
        break;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return result;
}

std::optional<UnixMemory> UnixMemoryOf(const std::wstring& pid) {
    std::optional<std::string> status = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\status");
    if (!status) return std::nullopt;
    UnixMemory memory;
    for (const std::string& line : FileLines(*status)) {
        if (line.rfind("VmHWM:", 0) == 0) memory.hwmKiB = std::strtoul(line.c_str() + 6, nullptr, 10);
        if (line.rfind("VmRSS:", 0) == 0) memory.rssKiB = std::strtoul(line.c_str() + 6, nullptr, 10);
    }
    return memory;
}

// Resident KiB per mapping, from /proc/<pid>/smaps: by the file's base name,
// [heap], or for anonymous memory by region (its start and size: a glibc
// malloc arena is a 64 MiB region, for instance).
using Mappings = std::map<std::string, long>;

Mappings ResidentByMapping(const std::wstring& pid) {
    Mappings byName;
    std::optional<std::string> smaps = ReadWholeFile(L"Z:\\proc\\" + pid + L"\\smaps");
    if (!smaps) return byName;
    std::string name;
    for (const std::string& line : FileLines(*smaps)) {
        if (line.rfind("Rss:", 0) == 0) {
            byName[name] += std::strtol(line.c_str() + 4, nullptr, 10);
        } else if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') < 16) {
            // "start-end perms offset dev inode [path]"
            size_t field = 0, at = 0;
            while (field < 5 && at != std::string::npos) {
                at = line.find_first_not_of(' ', line.find(' ', at));
                ++field;
            }
            std::string path = at == std::string::npos ? std::string() : line.substr(at);
            size_t slash = path.find_last_of('/');
            if (path.empty()) {
                unsigned long long start = std::strtoull(line.c_str(), nullptr, 16);
                unsigned long long end = std::strtoull(line.c_str() + line.find('-') + 1, nullptr, 16);
                char region[80];
                std::snprintf(region, sizeof region, "anonymous %llx, %llu KiB region", start, (end - start) / 1024);
                name = region;
            } else {
                name = slash == std::string::npos ? path : path.substr(slash + 1);
            }
        }
    }
    return byName;
}

// The mappings whose resident size changed most from `before` to `after`.
void PrintGrowth(const char* what, const Mappings& before, const Mappings& after) {
    std::map<std::string, long> change;
    long total = 0;
    for (const auto& [name, kib] : after) change[name] += kib;
    for (const auto& [name, kib] : before) change[name] -= kib;
    std::vector<std::pair<long, std::string>> sorted;
    for (const auto& [name, kib] : change) {
        total += kib;
        if (kib != 0) sorted.emplace_back(kib, name);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return std::abs(a.first) > std::abs(b.first); });
    std::printf("  %s: %+.1f MiB resident in all; largest changes:\n", what, static_cast<double>(total) / 1024.0);
    for (size_t i = 0; i < sorted.size() && i < 12; ++i) {
        std::printf("    %+8ld KiB  %s\n", sorted[i].first, sorted[i].second.c_str());
    }
}

void PrintMemory(const char* when, QuillbinProcess& program, const std::optional<std::wstring>& pid) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    double mib = 1024.0 * 1024.0;
    if (::GetProcessMemoryInfo(program.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters)) {
        std::printf("  %-22s peak %6.1f MiB, now %6.1f MiB, private %6.1f MiB (GetProcessMemoryInfo)\n", when,
                    static_cast<double>(counters.PeakWorkingSetSize) / mib,
                    static_cast<double>(counters.WorkingSetSize) / mib,
                    static_cast<double>(counters.PrivateUsage) / mib);
    }
    if (std::optional<UnixMemory> unix = pid ? UnixMemoryOf(*pid) : std::nullopt) {
        std::printf("  %-22s VmHWM %5.1f MiB, VmRSS %5.1f MiB (/proc status of the Wine process)\n", "",
                    static_cast<double>(unix->hwmKiB) / 1024.0, static_cast<double>(unix->rssKiB) / 1024.0);
    }
}

constexpr int kMemoryRuns = 3;

void Memory(int echoes) {
    std::printf("memory, %d runs of %d echoes to 127.0.0.1 (data size 18) in one process\n", kMemoryRuns, echoes);
    ProgramWithGhostHost e2e;
    if (!e2e.Start()) {
        std::printf("  cannot start: %s\n", e2e.error().c_str());
        return;
    }
    auto& [host, program, dialog] = e2e;
    std::optional<std::wstring> pid = UnixPidOf(program.ProgramPath());
    PrintMemory("before the runs:", program, pid);
    std::vector<Mappings> mappings;
    mappings.push_back(pid ? ResidentByMapping(*pid) : Mappings{});
    dialog.Fill({L"127.0.0.1", std::to_wstring(echoes), L"18", L"255"});
    for (int run = 1; run <= kMemoryRuns; ++run) {
        DWORD started = ::GetTickCount();
        if (!RunAndWaitForResults(dialog, host, static_cast<size_t>(run), 30 * 60 * 1000)) {
            std::printf("  run %d did not end\n", run);
            return;
        }
        std::printf("  run %d took %.1f s; %zu lines, status %s\n", run, (::GetTickCount() - started) / 1000.0,
                    dialog.Lines().size(), Utf8FromWide(dialog.Status()).c_str());
        std::string when = "after run " + std::to_string(run) + ":";
        PrintMemory(when.c_str(), program, pid);
        mappings.push_back(pid ? ResidentByMapping(*pid) : Mappings{});
    }
    if (pid) {
        PrintGrowth("the first run", mappings[0], mappings[1]);
        PrintGrowth("the later runs", mappings[1], mappings.back());
    }
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

// One close during a run against the silent host: Esc while the second echo
// waits out its time-out.
struct SilentClose {
    double hiddenMs = -1;
    double closingEventMs = -1;
    double exitMs = -1;
    size_t closingEvents = 0;
    size_t resultsEvents = 0;
    int settingsWrites = 0;  // bursts of changes to the settings file
    std::string error;
};

SilentClose CloseDuringASilentRun(const std::string& silent) {
    SilentClose result;
    GhostHostProcess host;
    ProgramOptions options;
    // Numbers written with leading zeros read the same but are written back
    // without them: the closing's save shows as a change of the file.
    options.settings =
        "[General]\r\nPingNum=010\r\nPingSize=018\r\nPingTTL=0255\r\nPingNF=00\r\nPingHost=" + silent + "\r\n";
    QuillbinProcess program(options);
    if (!host.ready() || !program.Start()) {
        result.error = host.error() + program.error();
        return result;
    }
    DialogDriver dialog(program.Dialog());
    if (!WaitUntil([&] { return FocusOf(dialog.Dialog()) == dialog.Item(kHostField); }, 2000) ||
        !PressKey(dialog.Dialog(), VK_RETURN) || !WaitUntil([&] { return dialog.Lines().size() == 1; }, 15000)) {
        result.error = "the first echo did not time out";
        return result;
    }
    const std::wstring settingsPath = program.SettingsPath();
    auto stamp = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(settingsPath.c_str(), GetFileExInfoStandard, &data)) return uint64_t{0};
        return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime) ^
               data.nFileSizeLow;
    };
    uint64_t lastStamp = stamp();
    DWORD lastChange = 0;

    DWORD pressed = ::GetTickCount();
    PressKey(dialog.Dialog(), VK_ESCAPE);
    while (program.Running() && ::GetTickCount() - pressed < 20000) {
        if (result.hiddenMs < 0 && !::IsWindowVisible(dialog.Dialog())) result.hiddenMs = ::GetTickCount() - pressed;
        if (uint64_t now = stamp(); now != lastStamp) {
            // Changes closer together than this are one save.
            if (result.settingsWrites == 0 || ::GetTickCount() - lastChange > 200) ++result.settingsWrites;
            lastStamp = now;
            lastChange = ::GetTickCount();
        }
        ::Sleep(kFinePollMs);
    }
    if (!program.Running()) result.exitMs = ::GetTickCount() - pressed;
    if (stamp() != lastStamp && (result.settingsWrites == 0 || ::GetTickCount() - lastChange > 200)) {
        ++result.settingsWrites;
    }
    std::vector<LoggedRequest> closing = EventsNamed(host, kCloseEvent);
    result.closingEvents = closing.size();
    if (!closing.empty()) result.closingEventMs = static_cast<double>(closing[0].tick - pressed);
    result.resultsEvents = EventsNamed(host, kResultsEvent).size();
    return result;
}

void SilentHostClose(const std::string& silent, int rounds) {
    std::printf("closing during a run against a silent host (%s), Esc during the second echo, %d rounds\n",
                silent.c_str(), rounds);
    std::printf("  %-6s %10s %14s %10s %8s %8s %15s\n", "round", "hidden ms", "closing ev. ms", "ended ms", "closing",
                "results", "settings writes");
    Series hidden, closingEvent, ended;
    for (int round = 1; round <= rounds; ++round) {
        SilentClose c = CloseDuringASilentRun(silent);
        if (!c.error.empty()) {
            std::printf("  %-6d %s\n", round, c.error.c_str());
            continue;
        }
        std::printf("  %-6d %10.0f %14.0f %10.0f %8zu %8zu %15d\n", round, c.hiddenMs, c.closingEventMs, c.exitMs,
                    c.closingEvents, c.resultsEvents, c.settingsWrites);
        if (c.hiddenMs >= 0) hidden.Add(c.hiddenMs);
        if (c.closingEventMs >= 0) closingEvent.Add(c.closingEventMs);
        if (c.exitMs >= 0) ended.Add(c.exitMs);
    }
    std::printf("                                            median      min      max\n");
    hidden.Print("window hidden after Esc (target 100)");
    closingEvent.Print("closing event at the ghost");
    ended.Print("process ended after Esc (target 5500)");
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
    if (const char* silent = std::getenv("QB_SILENT_HOST")) {
        SilentHostClose(silent, std::min(rounds, 5));
        return 0;
    }
    StartUp(rounds);
    std::printf("\n");
    HungGhost();
    std::printf("\n");
    Memory(echoes);
    return 0;
}
