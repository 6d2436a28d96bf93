// A mutex that processes share by name, and a guard for one ownership of it.
// Unlike a critical section it is only ever waited on with a time-out: the
// other owners are programs we do not control.
#pragma once

#include <windows.h>

#include <utility>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

// What a NamedMutex asks for when it creates or opens its mutex.
inline constexpr DWORD kNamedMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

class NamedMutex {
public:
    NamedMutex() noexcept = default;
    // Creates the mutex, or opens it when another process made it first,
    // with kNamedMutexAccess. Invalid when neither can be done.
    explicit NamedMutex(const char* name) noexcept;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    NamedMutex(NamedMutex&&) noexcept = default;
    NamedMutex& operator=(NamedMutex&&) noexcept = default;

    bool is_valid() const noexcept { return m_handle.is_valid(); }
    HANDLE get() const noexcept { return m_handle.get(); }
    explicit operator bool() const noexcept { return is_valid(); }

    // Ownership, released by the thread that took it when the guard ends.
    class [[nodiscard]] Guard {
    public:
        Guard(Guard&& other) noexcept : m_mutex(std::exchange(other.m_mutex, nullptr)) {}
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        Guard& operator=(Guard&&) = delete;
        ~Guard() {
            if (m_mutex) ::ReleaseMutex(m_mutex);
        }
        // False when the wait timed out or failed: nothing is owned.
        explicit operator bool() const noexcept { return m_mutex != nullptr; }

    private:
        friend class NamedMutex;
        explicit Guard(HANDLE mutex) noexcept : m_mutex(mutex) {}
        HANDLE m_mutex;
    };

    // Waits at most `timeoutMs`. A previous owner that ended without
    // releasing (WAIT_ABANDONED) hands its ownership on: the guard owns.
    [[nodiscard]] Guard lock(DWORD timeoutMs) noexcept;
    // The same for a window thread: meanwhile it carries out the messages
    // other threads and processes send to its windows, so they keep
    // answering. Posted messages and input stay queued.
    [[nodiscard]] Guard lock_serving_sent_messages(DWORD timeoutMs) noexcept;

private:
    UniqueHandle m_handle;
};

}  // namespace quillbin::win
