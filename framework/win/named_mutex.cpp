#include "framework/win/named_mutex.h"

#include "framework/win/message_wait.h"

namespace quillbin::win {

namespace {

bool Owned(DWORD woke) { return woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED_0; }

}  // namespace

// Only the rights a wait and a release need: a mutex that an elevated host,
// or one run by another user, created refuses all access to us, and the
// reader would then copy the block without it for ever.
NamedMutex::NamedMutex(const char* name) noexcept : m_handle(::CreateMutexExA(nullptr, name, 0, kNamedMutexAccess)) {}

NamedMutex::Guard NamedMutex::lock(DWORD timeoutMs) noexcept {
    if (!m_handle) return Guard(nullptr);
    return Guard(Owned(::WaitForSingleObject(m_handle.get(), timeoutMs)) ? m_handle.get() : nullptr);
}

NamedMutex::Guard NamedMutex::lock_serving_sent_messages(DWORD timeoutMs) noexcept {
    if (!m_handle) return Guard(nullptr);
    WaitResult woke = WaitServingSentMessages(m_handle.get(), timeoutMs);
    return Guard(woke == WaitResult::Signalled || woke == WaitResult::Abandoned ? m_handle.get() : nullptr);
}

}  // namespace quillbin::win
