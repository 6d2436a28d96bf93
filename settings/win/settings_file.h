// The settings file of the running executable.
#pragma once

#include <string>

#include "settings/ping_settings.h"

namespace quillbin::win {

// The executable's full path, in UTF-16, with "ini" for its last three
// characters. Empty when the executable's path cannot be had in full: a cut
// path would name some other file, so then nothing is read or written.
std::wstring SettingsFilePath();

// Reads the five settings; with an empty path, the defaults.
void LoadSettings(const std::wstring& path, PingSettings& settings);
// Writes the five settings; with an empty path, nothing. Failures are silent.
void SaveSettings(const std::wstring& path, const PingSettings& settings);

}  // namespace quillbin::win
