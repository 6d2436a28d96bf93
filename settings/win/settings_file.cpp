#include "settings/win/settings_file.h"

#include <windows.h>

#include <optional>

#include "base/growing_buffer.h"
#include "settings/settings_file.h"
#include "settings/win/private_profile_file.h"

namespace quillbin::win {

namespace {
// The first try holds paths of up to 1023 characters; longer ones get a
// larger buffer, up to the longest path the system knows (32767 characters).
constexpr size_t kFirstPathBuffer = 1024;
constexpr size_t kLongestPathBuffer = 32768;
}  // namespace

// In UTF-16: the `A` function writes a character that the ANSI code page
// cannot as '?', and the file would then be looked for in a folder that is
// not there.
std::wstring SettingsFilePath() {
    std::optional<std::wstring> executable = FetchWithGrowingBuffer<wchar_t>(
        [](wchar_t* buffer, size_t capacity) {
            return static_cast<size_t>(::GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(capacity)));
        },
        kFirstPathBuffer, kLongestPathBuffer);
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
