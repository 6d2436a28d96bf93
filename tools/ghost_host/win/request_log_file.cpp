#include "tools/ghost_host/win/request_log_file.h"

namespace quillbin::win {

bool RequestLogFile::Open(const std::wstring& path) {
    m_file.reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file.is_valid();
}

void RequestLogFile::Append(const LoggedRequest& request) {
    if (!m_file) return;
    std::string record = FormatRequestLogRecord(request);
    auto guard = m_lock.lock();
    const char* at = record.data();
    size_t left = record.size();
    while (left > 0) {
        DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(m_file.get(), at, chunk, &written, nullptr) || written == 0) return;
        at += written;
        left -= written;
    }
}

}  // namespace quillbin::win
