// The named block "Sakura" the demo host publishes its directory in, and the
// mutex "SakuraFMO" that every writer and reader of it owns meanwhile.
// Created on the paging file and kept open for the host's whole life: the
// block vanishes with its last handle.
#pragma once

#include <windows.h>

#include <string_view>

#include "framework/win/named_mutex.h"
#include "framework/win/unique_handle.h"

namespace quillbin::win {

class HostDirectoryBlock {
public:
    // How long a write waits for the mutex before it gives up.
    static constexpr DWORD kWriteWaitMs = 5000;

    // Takes the block and the mutex over when another host already made them.
    bool Create();
    // Any thread. False when the directory does not fit, or when the mutex
    // stayed taken for kWriteWaitMs (the block is then left as it was).
    // `pauseMs` makes the write take its time: a pause before each ghost's
    // records, as by a host that looks each ghost up while it writes.
    bool Publish(std::string_view directory, DWORD pauseMs = 0);
    NamedMutex& mutex() { return m_mutex; }

private:
    void WriteText(std::string_view directory, DWORD pauseMs);

    NamedMutex m_mutex;
    UniqueHandle m_mapping;
    UniqueMappedView m_view;
    char* m_bytes = nullptr;  // m_view, writable
};

}  // namespace quillbin::win
