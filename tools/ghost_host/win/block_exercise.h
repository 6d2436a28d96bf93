// What the demo host does to its block on command, to put readers to the
// test: keep the mutex "SakuraFMO" for a while, or rewrite the block over and
// over. One at a time, on a thread of its own.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "framework/win/unique_handle.h"
#include "tools/ghost_host/win/host_directory_block.h"

namespace quillbin::win {

class BlockExercise {
public:
    explicit BlockExercise(HostDirectoryBlock& block);
    ~BlockExercise();
    BlockExercise(const BlockExercise&) = delete;
    BlockExercise& operator=(const BlockExercise&) = delete;

    // Ends the exercise under way, then takes the mutex and keeps it `ms`.
    // True once it is taken; false when it stayed taken by others for
    // HostDirectoryBlock::kWriteWaitMs.
    bool Hold(DWORD ms);
    // Ends the exercise under way, then rewrites the block for `ms`, `first`
    // and `second` in turn, each write under the mutex and a millisecond
    // spent before each ghost's records, so that a reader that ignores the
    // mutex is sure to meet half-written blocks; the last write is `first`.
    void Alternate(DWORD ms, std::string first, std::string second);
    // Ends the exercise under way (a hold releases the mutex) and waits for
    // its thread.
    void Stop();
    void StopAlternating() {
        if (m_alternating) Stop();
    }

private:
    HostDirectoryBlock& m_block;
    UniqueHandle m_stopEvent;  // manual reset; ends a hold early
    std::atomic<bool> m_stop{false};
    bool m_alternating = false;
    std::thread m_thread;
};

}  // namespace quillbin::win
