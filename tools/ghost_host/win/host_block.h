// The named block "Sakura" the demo host publishes its directory in. Created
// on the paging file and kept open for the host's whole life: the block
// vanishes with its last handle.
#pragma once

#include <windows.h>

#include <string_view>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

class HostBlock {
public:
    // Takes the block over when another host already made one.
    bool Create();
    // Any thread. False when the directory does not fit.
    bool Publish(std::string_view directory);

private:
    CriticalSection m_lock;
    UniqueHandle m_mapping;
    UniqueMappedView m_view;
    char* m_bytes = nullptr;  // m_view, writable
};

}  // namespace quillbin::win
