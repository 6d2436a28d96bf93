#include "settings/settings_file.h"

namespace quillbin {

void LoadSettings(ProfileStore& store, PingSettings& settings) {
    settings.count = store.ReadUnsigned(kSettingsSection, kKeyCount, kDefaultCount);
    settings.dataSize = store.ReadUnsigned(kSettingsSection, kKeyDataSize, kDefaultDataSize);
    settings.ttl = store.ReadUnsigned(kSettingsSection, kKeyTtl, kDefaultTtl);
    settings.dontFragment = store.ReadUnsigned(kSettingsSection, kKeyDontFragment, 0) != 0 ? 1 : 0;
    settings.host = store.ReadText(kSettingsSection, kKeyHost, "", kHostMaxBytes);
}

void SaveSettings(ProfileStore& store, const PingSettings& settings) {
    store.WriteText(kSettingsSection, kKeyCount, std::to_string(settings.count));
    store.WriteText(kSettingsSection, kKeyDataSize, std::to_string(settings.dataSize));
    store.WriteText(kSettingsSection, kKeyTtl, std::to_string(settings.ttl));
    // Written as unsigned, like the numbers before it.
    store.WriteText(kSettingsSection, kKeyDontFragment, std::to_string(static_cast<uint32_t>(settings.dontFragment)));
    store.WriteText(kSettingsSection, kKeyHost, settings.host);
}

std::wstring SettingsPathFromExecutable(std::wstring_view executablePath) {
    if (executablePath.size() < 3) return {};
    std::wstring path(executablePath);
    path.replace(path.size() - 3, 3, L"ini");
    return path;
}

}  // namespace quillbin
