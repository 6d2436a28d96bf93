// Timings taken under Wine on a shared machine include spells in which the
// machine ran none of the test's threads, or not the Wine server that each of
// their calls goes through: a busy two-core machine does that for a tenth of
// a second now and then. A thread that calls the server every millisecond or
// two notes each such spell (a gap of over 10 ms between its calls), and a
// timing is judged on what is left of it once the spells are taken out: the
// time the code under test spent, and waited for, while the machine ran it.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

class StallMeter {
public:
    using Clock = std::chrono::steady_clock;

    StallMeter();
    ~StallMeter();
    StallMeter(const StallMeter&) = delete;
    StallMeter& operator=(const StallMeter&) = delete;

    // The time from `from` to `to`, less the spells noted within it, in ms.
    long long NetMs(Clock::time_point from, Clock::time_point to) const;

private:
    mutable std::mutex m_lock;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> m_spells;
    UniqueHandle m_never;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace quillbin::win
