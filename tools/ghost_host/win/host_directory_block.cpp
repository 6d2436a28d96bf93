#include "tools/ghost_host/win/host_directory_block.h"

#include <cstring>

#include "sstp/win/host_directory_reader.h"
#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win {

bool HostDirectoryBlock::Create() {
    m_mutex = NamedMutex(kHostDirectoryMutexName);
    if (!m_mutex) return false;
    m_mapping.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         static_cast<DWORD>(kHostDirectoryBlockSize), kHostDirectoryName));
    if (!m_mapping) return false;
    void* view = ::MapViewOfFile(m_mapping.get(), FILE_MAP_WRITE, 0, 0, kHostDirectoryBlockSize);
    m_view.reset(view);
    m_bytes = static_cast<char*>(view);
    return m_view.is_valid();
}

bool HostDirectoryBlock::Publish(std::string_view directory, DWORD pauseMs) {
    if (!m_bytes || directory.size() < 4 || directory.size() > kHostDirectoryBlockSize) return false;
    // The host's own threads take turns by it too.
    auto owner = m_mutex.lock(kWriteWaitMs);
    if (!owner) return false;
    // The text first, the size field last: a reader that ignores the mutex
    // sees the new size only once the text it covers is in place.
    WriteText(directory, pauseMs);
    std::memcpy(m_bytes, directory.data(), 4);
    return true;
}

void HostDirectoryBlock::WriteText(std::string_view directory, DWORD pauseMs) {
    if (pauseMs == 0) {
        std::memcpy(m_bytes + 4, directory.data() + 4, directory.size() - 4);
        return;
    }
    std::string_view id;
    for (size_t at = 4; at < directory.size();) {
        size_t end = directory.find('\n', at);
        end = end == std::string_view::npos ? directory.size() : end + 1;
        std::string_view record = directory.substr(at, end - at);
        std::string_view recordId = record.substr(0, record.find('.'));
        if (!id.empty() && recordId != id && record.find('.') != std::string_view::npos) ::Sleep(pauseMs);
        std::memcpy(m_bytes + at, record.data(), record.size());
        id = recordId;
        at = end;
    }
}

}  // namespace quillbin::win
