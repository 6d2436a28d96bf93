#include "tools/ghost_host/win/block_exercise.h"

namespace quillbin::win {

namespace {
constexpr DWORD kPauseMs = 1;
}

BlockExercise::BlockExercise(HostDirectoryBlock& block)
    : m_block(block), m_stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

BlockExercise::~BlockExercise() { Stop(); }

void BlockExercise::Stop() {
    m_stop = true;
    if (m_stopEvent) ::SetEvent(m_stopEvent.get());
    if (m_thread.joinable()) m_thread.join();
    m_alternating = false;
    m_stop = false;
    if (m_stopEvent) ::ResetEvent(m_stopEvent.get());
}

bool BlockExercise::Hold(DWORD ms) {
    Stop();
    UniqueHandle taken(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent || !taken) return false;
    bool held = false;  // written before `taken` is set, never after
    m_thread = std::thread([this, ms, &held, signal = taken.get()] {
        auto owner = m_block.mutex().lock(HostDirectoryBlock::kWriteWaitMs);
        held = static_cast<bool>(owner);
        ::SetEvent(signal);
        if (owner) ::WaitForSingleObject(m_stopEvent.get(), ms);
    });
    // As long as the thread's own wait for the mutex, at most.
    ::WaitForSingleObject(taken.get(), INFINITE);
    return held;
}

void BlockExercise::Alternate(DWORD ms, std::string first, std::string second) {
    Stop();
    m_alternating = true;
    m_thread = std::thread([this, ms, first = std::move(first), second = std::move(second)] {
        const DWORD started = ::GetTickCount();
        for (bool odd = false; !m_stop && ::GetTickCount() - started < ms; odd = !odd) {
            m_block.Publish(odd ? second : first, kPauseMs);
        }
        m_block.Publish(first);
    });
}

}  // namespace quillbin::win
