// Reads the main dialog's system menu from inside the running program: the
// probe DLL (system_menu_probe_dll.cpp) is copied into the program's folder
// and loaded into the process by a remote thread, and its report is read.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillbin::win::e2e {

struct SystemMenuItem {
    bool separator = false;
    UINT id = 0;
    std::wstring text;

    bool operator==(const SystemMenuItem&) const = default;
};

// Nothing when the probe could not be loaded or did not report in time;
// `error` then says why.
std::optional<std::vector<SystemMenuItem>> ReadSystemMenu(HANDLE process, const std::wstring& folder,
                                                          std::string& error);

}  // namespace quillbin::win::e2e
