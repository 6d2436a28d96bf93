#include "sstp/win/ghost_notifier.h"

#include <cstdint>
#include <optional>
#include <string>

#include "base/scope_exit.h"
#include "sstp/sstp_request.h"
#include "sstp/win/sakura_message.h"

namespace quillbin::win {

namespace {

constexpr UINT kGhostAnswerTimeoutMs = 5000;

// Window handles are 32-bit values even in 64-bit processes: truncating one
// is safe, and widening one back must extend its sign.
uint32_t NumberFromWindow(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }
HWND WindowFromNumber(uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(number)));
}

}  // namespace

GhostNotifier::GhostNotifier(UINT sakuraMessage) : m_sakuraMessage(sakuraMessage) {}

void GhostNotifier::SetSenderWindow(HWND window) {
    DWORD thread = window ? ::GetWindowThreadProcessId(window, nullptr) : 0;
    {
        auto guard = m_ghostLock.lock();
        m_sender = window;
        m_windowThread = thread;
    }
    SettleOwedRefresh(window, thread);
}

int GhostNotifier::RefreshGhostList() {
    // Owed before the lock is tried: a holder that gives the lock up after our
    // try failed is sure to see the debt.
    m_refreshOwed.store(true);
    auto guard = m_ghostLock.try_lock();
    if (!guard) return 0;               // another thread's send hands it back
    if (m_sendsUnderWay > 0) return 0;  // our own send, waiting further up the stack
    m_refreshOwed.store(false);
    if (m_refreshUnderWay) return 0;  // our own refresh, waiting for the hosts' mutex; it copies afterwards
    m_refreshUnderWay = true;
    ScopeExit refreshEnds([this] { m_refreshUnderWay = false; });

    // Emptied first, so a failed refresh leaves no stale ghosts behind.
    m_ghosts.Clear();
    std::optional<GhostList> ghosts = m_directory.Read();
    if (!ghosts) return 0;
    m_ghosts = std::move(*ghosts);
    return 1;
}

unsigned GhostNotifier::SendSstpNotify(std::string_view body) {
    unsigned failed = 0;
    HWND sender;
    DWORD windowThread;
    {
        auto guard = m_ghostLock.lock();
        ++m_sendsUnderWay;
        ScopeExit sendEnds([this] { --m_sendsUnderWay; });
        sender = m_sender;
        windowThread = m_windowThread;

        std::string request = BuildSstpNotifyRequest(NumberFromWindow(sender), body);
        COPYDATASTRUCT data{};
        data.dwData = kSstpCopyDataId;
        data.cbData = static_cast<DWORD>(request.size());
        data.lpData = request.data();

        // The list cannot change during the loop: refreshes are put off.
        const size_t count = m_ghosts.handles.size();
        for (size_t i = 0; i < count; ++i) {
            DWORD_PTR answer = 0;
            LRESULT delivered = ::SendMessageTimeoutA(WindowFromNumber(m_ghosts.handles[i]), WM_COPYDATA,
                                                      reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data),
                                                      SMTO_ABORTIFHUNG, kGhostAnswerTimeoutMs, &answer);
            if (delivered == 0 || answer == 0) ++failed;
        }
    }
    SettleOwedRefresh(sender, windowThread);
    return failed;
}

void GhostNotifier::SettleOwedRefresh(HWND sender, DWORD windowThread) {
    if (!m_refreshOwed.load()) return;
    if (sender == nullptr || windowThread == ::GetCurrentThreadId()) {
        // Puts itself off again if a send still holds the list.
        RefreshGhostList();
    } else {
        ::PostMessageA(sender, m_sakuraMessage, kSakuraRefresh, 0);
    }
}

}  // namespace quillbin::win
