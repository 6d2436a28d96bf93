// The owner of an ICMP handle. Unlike the handles of framework/win, it is
// closed through an entry point found at run time (IcmpCloseHandle of the
// module that created it), so the owner carries that function with it.
#pragma once

#include <windows.h>

#include <utility>

namespace quillbin::win {

using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);

class UniqueIcmpHandle {
public:
    UniqueIcmpHandle() noexcept = default;
    // IcmpCreateFile reports failure as INVALID_HANDLE_VALUE, so that is the
    // one value never closed.
    UniqueIcmpHandle(HANDLE handle, IcmpCloseHandleFn close) noexcept : m_handle(handle), m_close(close) {}
    UniqueIcmpHandle(const UniqueIcmpHandle&) = delete;
    UniqueIcmpHandle& operator=(const UniqueIcmpHandle&) = delete;
    UniqueIcmpHandle(UniqueIcmpHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)),
          m_close(std::exchange(other.m_close, nullptr)) {}
    UniqueIcmpHandle& operator=(UniqueIcmpHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
            m_close = std::exchange(other.m_close, nullptr);
        }
        return *this;
    }
    ~UniqueIcmpHandle() { reset(); }

    HANDLE get() const noexcept { return m_handle; }
    bool is_valid() const noexcept { return m_handle != INVALID_HANDLE_VALUE; }
    explicit operator bool() const noexcept { return is_valid(); }

    void reset() noexcept {
        HANDLE old = std::exchange(m_handle, INVALID_HANDLE_VALUE);
        if (old != INVALID_HANDLE_VALUE && m_close) m_close(old);
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    IcmpCloseHandleFn m_close = nullptr;
};

}  // namespace quillbin::win
