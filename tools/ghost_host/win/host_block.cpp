#include "tools/ghost_host/win/host_block.h"

#include <cstring>

#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win {

bool HostBlock::Create() {
    m_mapping.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         static_cast<DWORD>(kHostBlockSize), "Sakura"));
    if (!m_mapping) return false;
    void* view = ::MapViewOfFile(m_mapping.get(), FILE_MAP_WRITE, 0, 0, kHostBlockSize);
    m_view.reset(view);
    m_bytes = static_cast<char*>(view);
    return m_view.is_valid();
}

bool HostBlock::Publish(std::string_view directory) {
    if (!m_bytes || directory.size() < 4 || directory.size() > kHostBlockSize) return false;
    auto guard = m_lock.lock();
    // The text first, the size field last: a reader that copies meanwhile
    // sees the new size only once the text it covers is in place.
    std::memcpy(m_bytes + 4, directory.data() + 4, directory.size() - 4);
    std::memcpy(m_bytes, directory.data(), 4);
    return true;
}

}  // namespace quillbin::win
