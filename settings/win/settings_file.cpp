#include "settings/win/settings_file.h"

#include <windows.h>

#include <optional>

#include "framework/win/win_app.h"
#include "settings/settings_file.h"
#include "settings/win/private_profile_file.h"

namespace quillbin::win {

// From the UTF-16 path: in a folder the ANSI code page cannot name, the file
// would otherwise be looked for in a folder that is not there.
std::wstring SettingsFilePath() {
    std::optional<std::wstring> executable = ExecutablePath();
    return executable ? SettingsPathFromExecutable(*executable) : std::wstring();
}

void LoadSettings(const std::wstring& path, PingSettings& settings) {
    if (path.empty()) {
        AbsentProfileStore none;
        quillbin::LoadSettings(none, settings);
        return;
    }
    PrivateProfileFile file(path);
    quillbin::LoadSettings(file, settings);
}

void SaveSettings(const std::wstring& path, const PingSettings& settings) {
    if (path.empty()) return;
    PrivateProfileFile file(path);
    quillbin::SaveSettings(file, settings);
}

}  // namespace quillbin::win
