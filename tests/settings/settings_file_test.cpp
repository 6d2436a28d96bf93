#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quillbin {
namespace {

// Records every call, and answers reads from `values` (a missing key gives
// the caller's fallback, as the platform's profile calls do).
class FakeProfileStore final : public ProfileStore {
public:
    std::map<std::string, std::string> values;
    std::vector<std::string> calls;

    uint32_t ReadUnsigned(std::string_view section, std::string_view key, uint32_t fallback) override {
        calls.push_back("int " + std::string(section) + "/" + std::string(key) + " " + std::to_string(fallback));
        auto it = values.find(std::string(key));
        return it == values.end() ? fallback : static_cast<uint32_t>(std::stoul(it->second));
    }
    std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                         size_t maxBytes) override {
        calls.push_back("text " + std::string(section) + "/" + std::string(key) + " '" + std::string(fallback) + "' " +
                        std::to_string(maxBytes));
        auto it = values.find(std::string(key));
        return it == values.end() ? std::string(fallback) : it->second.substr(0, maxBytes);
    }
    void WriteText(std::string_view section, std::string_view key, std::string_view value) override {
        calls.push_back("write " + std::string(section) + "/" + std::string(key) + "=" + std::string(value));
    }
};

TEST(LoadSettings, ReadsTheFiveKeysInOrderWithTheirDefaults) {
    FakeProfileStore store;
    PingSettings settings{"old", 1, 2, 1, 3};
    LoadSettings(store, settings);
    EXPECT_EQ(store.calls, (std::vector<std::string>{
                               "int General/PingNum 10",
                               "int General/PingSize 18",
                               "int General/PingTTL 255",
                               "int General/PingNF 0",
                               "text General/PingHost '' 1022",
                           }));
    EXPECT_EQ(settings.count, 10u);
    EXPECT_EQ(settings.dataSize, 18u);
    EXPECT_EQ(settings.ttl, 255u);
    EXPECT_EQ(settings.dontFragment, 0);
    EXPECT_EQ(settings.host, "");
}

TEST(LoadSettings, KeepsOutOfRangeValuesAndFoldsPingNf) {
    struct Case {
        std::map<std::string, std::string> values;
        uint32_t count, dataSize, ttl;
        int32_t dontFragment;
    } cases[] = {
        {{{"PingNum", "5000"}, {"PingSize", "1501"}, {"PingTTL", "0"}, {"PingNF", "7"}}, 5000, 1501, 0, 1},
        {{{"PingNum", "0"}, {"PingTTL", "256"}, {"PingNF", "1"}}, 0, 18, 256, 1},
        {{{"PingNum", "4294967295"}, {"PingNF", "0"}}, 4294967295u, 18, 255, 0},
        {{{"PingNF", "4294967295"}}, 10, 18, 255, 1},
    };
    for (const Case& c : cases) {
        FakeProfileStore store;
        store.values = c.values;
        PingSettings settings;
        LoadSettings(store, settings);
        EXPECT_EQ(settings.count, c.count);
        EXPECT_EQ(settings.dataSize, c.dataSize);
        EXPECT_EQ(settings.ttl, c.ttl);
        EXPECT_EQ(settings.dontFragment, c.dontFragment);
    }
}

TEST(LoadSettings, TakesTheHostBytesAsTheyAre) {
    FakeProfileStore store;
    store.values["PingHost"] = "\x83\x7a\x83\x58\x83\x67.example";  // "ホスト.example"
    PingSettings settings;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.host, "\x83\x7a\x83\x58\x83\x67.example");

    store.values["PingHost"] = std::string(1500, 'h');
    LoadSettings(store, settings);
    EXPECT_EQ(settings.host.size(), 1022u);
}

TEST(SaveSettings, WritesTheFiveKeysInOrder) {
    struct Case {
        PingSettings settings;
        std::vector<std::string> writes;
    } cases[] = {
        {{"", 10, 18, 0, 255},
         {"write General/PingNum=10", "write General/PingSize=18", "write General/PingTTL=255",
          "write General/PingNF=0", "write General/PingHost="}},
        {{"192.0.2.1", 4294967295u, 0, 1, 0},
         {"write General/PingNum=4294967295", "write General/PingSize=0", "write General/PingTTL=0",
          "write General/PingNF=1", "write General/PingHost=192.0.2.1"}},
    };
    for (const Case& c : cases) {
        FakeProfileStore store;
        SaveSettings(store, c.settings);
        EXPECT_EQ(store.calls, c.writes);
    }
}

TEST(AbsentProfileStore, GivesDefaultsAndKeepsNothing) {
    AbsentProfileStore none;
    PingSettings settings{"old", 1, 2, 1, 3};
    LoadSettings(none, settings);
    EXPECT_EQ(settings.count, 10u);
    EXPECT_EQ(settings.ttl, 255u);
    EXPECT_EQ(settings.host, "");
    SaveSettings(none, settings);
    LoadSettings(none, settings);
    EXPECT_EQ(settings.dataSize, 18u);
}

TEST(SettingsPathFromExecutable, ReplacesTheLastThreeCharacters) {
    struct Case {
        const char* exe;
        const char* ini;
    } cases[] = {
        {"C:\\tools\\pinger.exe", "C:\\tools\\pinger.ini"},
        {"C:\\tools\\renamed.EXE", "C:\\tools\\renamed.ini"},
        {"C:\\tools\\pinger.scr", "C:\\tools\\pinger.ini"},
        {"exe", "ini"},
        {"ex", ""},
        {"", ""},
    };
    auto wide = [](std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); };
    for (const Case& c : cases) EXPECT_EQ(SettingsPathFromExecutable(wide(c.exe)), wide(c.ini)) << c.exe;
}

}  // namespace
}  // namespace quillbin
