#include "tests/e2e/system_menu_reader.h"

#include <sstream>

#include "framework/win/unique_handle.h"
#include "framework/win/wide_text.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/support/ghost_host_fixture.h"
#include "tests/support/waiting.h"

namespace quillbin::win::e2e {

namespace {

constexpr wchar_t kProbeName[] = L"e2e_system_menu_probe.dll";
constexpr DWORD kProbeTimeoutMs = 10000;

std::optional<std::vector<SystemMenuItem>> ParseReport(const std::string& report, std::string& error) {
    std::vector<SystemMenuItem> items;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "end") return items;
        if (line == "separator") {
            items.push_back({true, 0, {}});
        } else if (line.rfind("item ", 0) == 0) {
            size_t blank = line.find(' ', 5);
            if (blank == std::string::npos) break;
            SystemMenuItem item;
            item.id = static_cast<UINT>(std::stoul(line.substr(5, blank - 5)));
            item.text = WideFromUtf8(line.substr(blank + 1));
            items.push_back(item);
        } else {
            break;
        }
    }
    error = "probe report: " + report;
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<SystemMenuItem>> ReadSystemMenu(HANDLE process, const std::wstring& folder,
                                                          std::string& error) {
    std::wstring probe = folder + kProbeName;
    std::wstring report = probe + L".txt";
    ::DeleteFileW(report.c_str());
    if (!::CopyFileW((ProgramDirectory() + kProbeName).c_str(), probe.c_str(), FALSE)) {
        error = "cannot copy the probe DLL";
        return std::nullopt;
    }
    size_t bytes = (probe.size() + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !::WriteProcessMemory(process, remote, probe.c_str(), bytes, nullptr)) {
        error = "cannot write into the process, error " + std::to_string(::GetLastError());
        return std::nullopt;
    }
    // kernel32 lies at the same address in every process of the session.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    UniqueHandle thread(::CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr));
    if (!thread) {
        error = "cannot start a thread in the process, error " + std::to_string(::GetLastError());
        return std::nullopt;
    }
    ::WaitForSingleObject(thread.get(), kProbeTimeoutMs);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    std::optional<std::string> text;
    if (!WaitUntil([&] { return (text = ReadWholeFile(report)).has_value(); }, kProbeTimeoutMs)) {
        error = "the probe wrote no report";
        return std::nullopt;
    }
    return ParseReport(*text, error);
}

}  // namespace quillbin::win::e2e
