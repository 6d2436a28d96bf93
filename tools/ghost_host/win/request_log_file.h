// The file every request a ghost receives is appended to, at once, so a test
// reading it sees a request as soon as the ghost has it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/win/unique_handle.h"
#include "tools/ghost_host/request_log.h"

namespace quillbin::win {

class RequestLogFile {
public:
    // Appends to the file, creating it when missing.
    bool Open(const std::wstring& path);
    // Any thread; one write per record, so readers never see two interleave.
    void Append(const LoggedRequest& request);

private:
    CriticalSection m_lock;
    UniqueFile m_file;
};

}  // namespace quillbin::win
