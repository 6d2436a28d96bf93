#include "tools/echo_driver/driver_options.h"

#include <charconv>
#include <string_view>

#include "settings/settings_file.h"

namespace quillbin {

namespace {

// Only whole decimal numbers within [low, high]: a driver that quietly read
// "--count=1O" as 1 would make a test pass for the wrong reason.
bool ReadNumber(std::string_view text, uint32_t low, uint32_t high, uint32_t& out) {
    uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return false;
    out = value;
    return true;
}

}  // namespace

std::optional<DriverOptions> ParseDriverOptions(const std::vector<std::string>& args, std::string& error) {
    DriverOptions options;
    options.settings.count = kDefaultCount;
    options.settings.dataSize = kDefaultDataSize;
    options.settings.ttl = kDefaultTtl;
    options.settings.dontFragment = 0;
    bool haveHost = false;

    for (const std::string& arg : args) {
        std::string_view a = arg;
        if (a == "--raw-times") {
            options.maskTimes = false;
            continue;
        }
        size_t eq = a.find('=');
        std::string_view key = a.substr(0, eq);
        std::string_view value = eq == std::string_view::npos ? std::string_view() : a.substr(eq + 1);
        bool ok = eq != std::string_view::npos;
        if (!ok) {
        } else if (key == "--host") {
            options.settings.host = std::string(value);
            haveHost = !value.empty();
            ok = haveHost;
        } else if (key == "--count") {
            ok = ReadNumber(value, 0, kCountRange.maximum, options.settings.count);
        } else if (key == "--size") {
            ok = ReadNumber(value, kDataSizeRange.minimum, kDataSizeRange.maximum, options.settings.dataSize);
        } else if (key == "--ttl") {
            ok = ReadNumber(value, kTtlRange.minimum, kTtlRange.maximum, options.settings.ttl);
        } else if (key == "--df") {
            uint32_t df = 0;
            ok = ReadNumber(value, 0, 1, df);
            options.settings.dontFragment = static_cast<int32_t>(df);
        } else {
            ok = false;
        }
        if (!ok) {
            error = "bad argument: " + arg;
            return std::nullopt;
        }
    }
    if (!haveHost) {
        error = "--host=NAME is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace quillbin
