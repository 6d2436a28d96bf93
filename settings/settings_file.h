// The five settings in the settings file: which key holds which setting, in
// which order they are read and written, and their defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ping_settings.h"
#include "settings/profile_store.h"

namespace quillbin {

inline constexpr std::string_view kSettingsSection = "General";
inline constexpr std::string_view kKeyCount = "PingNum";
inline constexpr std::string_view kKeyDataSize = "PingSize";
inline constexpr std::string_view kKeyTtl = "PingTTL";
inline constexpr std::string_view kKeyDontFragment = "PingNF";
inline constexpr std::string_view kKeyHost = "PingHost";

inline constexpr uint32_t kDefaultCount = 10;
inline constexpr uint32_t kDefaultDataSize = 18;
inline constexpr uint32_t kDefaultTtl = 255;
// A longer host in the file is cut to this many bytes when read.
inline constexpr size_t kHostMaxBytes = 1022;

// Missing keys give their defaults. Values are not checked against the
// dialog's ranges: an out-of-range value loads unchanged, and the dialog's
// validation rejects it at the next send. PingNF gives 1 for any nonzero value.
void LoadSettings(ProfileStore& store, PingSettings& settings);

// Writes all five keys, the host even when empty.
void SaveSettings(ProfileStore& store, const PingSettings& settings);

// The settings file beside the executable: its path with the last three
// characters replaced by "ini" (C:\tools\pinger.exe gives C:\tools\pinger.ini).
// Empty when the path is too short to have three to replace. The path is
// UTF-16, which names a folder of any name; where the ANSI code page writes
// those three characters in one byte each, as it does ".exe", this is the
// file that the ANSI path with its last three bytes replaced names.
std::wstring SettingsPathFromExecutable(std::wstring_view executablePath);

}  // namespace quillbin
