#include "tests/sstp/win/stall_meter.h"

#include <algorithm>

namespace quillbin::win {

namespace {
constexpr auto kSpell = std::chrono::milliseconds(10);
}

StallMeter::StallMeter() : m_never(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    m_thread = std::thread([this] {
        Clock::time_point last = Clock::now();
        while (!m_stop) {
            ::WaitForSingleObject(m_never.get(), 1);  // a round trip to the server
            Clock::time_point now = Clock::now();
            if (now - last > kSpell) {
                std::lock_guard<std::mutex> guard(m_lock);
                m_spells.emplace_back(last, now);
            }
            last = now;
        }
    });
}

StallMeter::~StallMeter() {
    m_stop = true;
    m_thread.join();
}

long long StallMeter::NetMs(Clock::time_point from, Clock::time_point to) const {
    Clock::duration net = to - from;
    std::lock_guard<std::mutex> guard(m_lock);
    for (const auto& [start, end] : m_spells) {
        Clock::time_point a = std::max(start, from), b = std::min(end, to);
        if (b > a) net -= b - a;
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(net).count();
}

}  // namespace quillbin::win
