#include "framework/win/named_mutex.h"

namespace quillbin::win {

namespace {

bool Owned(DWORD woke) { return woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED_0; }

}  // namespace

NamedMutex::NamedMutex(const char* name) noexcept : m_handle(::CreateMutexA(nullptr, FALSE, name)) {}

NamedMutex::Guard NamedMutex::lock(DWORD timeoutMs) noexcept {
    if (!m_handle) return Guard(nullptr);
    return Guard(Owned(::WaitForSingleObject(m_handle.get(), timeoutMs)) ? m_handle.get() : nullptr);
}

NamedMutex::Guard NamedMutex::lock_serving_sent_messages(DWORD timeoutMs) noexcept {
    if (!m_handle) return Guard(nullptr);
    HANDLE handle = m_handle.get();
    const DWORD started = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - started;
        DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &handle, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (Owned(woke)) return Guard(handle);
        if (woke != WAIT_OBJECT_0 + 1) return Guard(nullptr);  // timed out, or the handle is unusable
        // Peeking is what delivers the sent messages; the filter leaves
        // everything else in the queue.
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        // Messages that keep coming must not stretch the wait past its end.
        if (left == 0) return lock(0);
    }
}

}  // namespace quillbin::win
