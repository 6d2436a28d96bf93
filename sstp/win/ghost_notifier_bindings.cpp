#include "sstp/win/ghost_notifier_bindings.h"

#include "sstp/sstp_request.h"
#include "sstp/win/sakura_message.h"

namespace quillbin::win {

namespace {

constexpr UINT kGhostAnswerTimeoutMs = 5000;

}  // namespace

GhostNotifierBindings::GhostNotifierBindings(UINT sakuraMessage)
    : m_sakuraMessage(sakuraMessage),
      m_notifier(GhostNotifierRoles{
          .lock = *this, .directory = m_directory, .delivery = *this, .poster = *this, .threads = *this}) {
    ::InitializeCriticalSection(&m_section);
}

GhostNotifierBindings::~GhostNotifierBindings() { ::DeleteCriticalSection(&m_section); }

void GhostNotifierBindings::Lock() { ::EnterCriticalSection(&m_section); }

bool GhostNotifierBindings::TryLock() { return ::TryEnterCriticalSection(&m_section) != FALSE; }

void GhostNotifierBindings::Unlock() { ::LeaveCriticalSection(&m_section); }

bool GhostNotifierBindings::Deliver(uint32_t ghost, uint32_t senderWindow, std::string_view request) {
    COPYDATASTRUCT data{};
    data.dwData = kSstpCopyDataId;
    data.cbData = static_cast<DWORD>(request.size());
    // The receiver gets a copy; nothing writes through this.
    data.lpData = const_cast<char*>(request.data());
    DWORD_PTR answer = 0;
    LRESULT delivered = ::SendMessageTimeoutA(
        WindowFromNumber(ghost), WM_COPYDATA, reinterpret_cast<WPARAM>(WindowFromNumber(senderWindow)),
        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kGhostAnswerTimeoutMs, &answer);
    return delivered != 0 && answer != 0;
}

void GhostNotifierBindings::PostRefresh(uint32_t window) {
    ::PostMessageA(WindowFromNumber(window), m_sakuraMessage, kSakuraRefresh, 0);
}

bool GhostNotifierBindings::IsCallingThreadOf(uint32_t window) {
    return ::GetWindowThreadProcessId(WindowFromNumber(window), nullptr) == ::GetCurrentThreadId();
}

}  // namespace quillbin::win
