// Where the time of a run of echoes goes: each echo's send and pause are
// recorded as intervals of the performance counter, and what lies between
// them is the time the caller spends on its own work.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quillbin::bench {

inline int64_t Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

inline double Microseconds(int64_t ticks) {
    static const double perSecond = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) * 1e6 / perSecond;
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

class EchoTimeline {
public:
    void Reserve(size_t echoes) {
        m_sendStart.reserve(echoes);
        m_sendTicks.reserve(echoes);
        m_pauseTicks.reserve(echoes);
    }
    void SendStarted() {
        m_sendStart.push_back(Now());
        m_pauseTicks.push_back(0);
    }
    void SendEnded() { m_sendTicks.push_back(Now() - m_sendStart.back()); }
    void Paused(int64_t ticks) {
        if (!m_pauseTicks.empty()) m_pauseTicks.back() += ticks;
    }

    // For every echo but the last: from its send to the next send, less the
    // send itself and the pause.
    std::vector<double> OutsideMicroseconds() const {
        std::vector<double> out;
        for (size_t i = 0; i + 1 < m_sendStart.size(); ++i) {
            int64_t cycle = m_sendStart[i + 1] - m_sendStart[i];
            out.push_back(Microseconds(cycle - m_sendTicks[i] - m_pauseTicks[i]));
        }
        return out;
    }

    double SendMilliseconds() const { return Sum(m_sendTicks); }
    double PauseMilliseconds() const { return Sum(m_pauseTicks); }

private:
    static double Sum(const std::vector<int64_t>& ticks) {
        int64_t sum = 0;
        for (int64_t t : ticks) sum += t;
        return Microseconds(sum) / 1000;
    }

    std::vector<int64_t> m_sendStart, m_sendTicks, m_pauseTicks;
};

}  // namespace quillbin::bench
