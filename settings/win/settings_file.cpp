#include "settings/win/settings_file.h"

#include <windows.h>

#include <optional>

#include "base/growing_buffer.h"
#include "settings/settings_file.h"
#include "settings/win/private_profile_file.h"

namespace quillbin::win {

namespace {
// The first try holds paths of up to 1023 bytes; longer ones get a larger
// buffer, up to the longest path the system knows (32767 characters of up
// to two bytes each).
constexpr size_t kFirstPathBuffer = 1024;
constexpr size_t kLongestPathBuffer = 65536;
}  // namespace

std::string SettingsFilePath() {
    std::optional<std::string> executable = FetchWithGrowingBuffer<char>(
        [](char* buffer, size_t capacity) {
            return static_cast<size_t>(::GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(capacity)));
        },
        kFirstPathBuffer, kLongestPathBuffer);
    return executable ? SettingsPathFromExecutable(*executable) : std::string();
}

void LoadSettings(const std::string& path, PingSettings& settings) {
    if (path.empty()) {
        AbsentProfileStore none;
        quillbin::LoadSettings(none, settings);
        return;
    }
    PrivateProfileFile file(path);
    quillbin::LoadSettings(file, settings);
}

void SaveSettings(const std::string& path, const PingSettings& settings) {
    if (path.empty()) return;
    PrivateProfileFile file(path);
    quillbin::SaveSettings(file, settings);
}

}  // namespace quillbin::win
