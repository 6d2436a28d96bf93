// Waits of a window thread: they carry out what other threads send to its
// windows, however busy the window keeps the queue, and the hosts' mutex is
// opened with no more rights than a wait and a release need.
#include "framework/win/message_wait.h"

#include <windows.h>
#include <sddl.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/win/named_mutex.h"
#include "framework/win/unique_handle.h"

namespace quillbin::win {
namespace {

// A queue that keeps Windows' rules, which Wine does not: every peek marks
// the queue's input as no longer new, a wait without MWMO_INPUTAVAILABLE
// wakes only for new input, and a peek serves sent messages only when its
// filter lets them through. Its sender does what an echo worker does: each
// message it sends makes the window repaint (a line added to a list), and
// it sends the next one while that paint is being dispatched.
class WindowsRuleQueue final : public ThreadMessageQueue {
public:
    explicit WindowsRuleQueue(unsigned sends) : m_sendsLeft(sends) { Send(); }

    DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD timeoutMs, DWORD wakeMask,
                                      DWORD flags) override {
        if (count == 1 && senderEnded()) return WAIT_OBJECT_0;
        const bool any = (flags & MWMO_INPUTAVAILABLE) != 0;
        const bool sent = (wakeMask & QS_SENDMESSAGE) && (any ? m_sent.pending : m_sent.fresh);
        const bool paint = (wakeMask & QS_PAINT) && (any ? m_paint.pending : m_paint.fresh);
        if (sent || paint) return WAIT_OBJECT_0 + count;
        if (timeoutMs == INFINITE && m_sent.pending) sleptThroughASend = true;
        return WAIT_TIMEOUT;
    }
    BOOL PeekMessageW(MSG* message, UINT first, UINT last, UINT remove) override {
        m_sent.fresh = m_paint.fresh = false;
        const UINT only = remove & 0xFFFF0000u;
        if ((only == 0 || (remove & PM_QS_SENDMESSAGE)) && m_sent.pending) {
            m_sent.pending = false;
            ++served;
            m_paint = {true, true};
        }
        const bool paintAllowed = (only == 0 || (remove & PM_QS_PAINT)) && first <= WM_PAINT && WM_PAINT <= last;
        if (!paintAllowed || !m_paint.pending) return FALSE;
        *message = MSG{};
        message->message = WM_PAINT;
        return TRUE;
    }
    void DispatchMessageW(const MSG&) override {
        m_paint.pending = false;
        Send();
    }
    DWORD WaitForSingleObject(HANDLE, DWORD) override { return senderEnded() ? WAIT_OBJECT_0 : WAIT_TIMEOUT; }
    DWORD GetTickCount() override { return 0; }

    bool senderEnded() const { return m_sendsLeft == 0 && !m_sent.pending; }
    unsigned served = 0;
    bool sleptThroughASend = false;

private:
    void Send() {
        if (m_sendsLeft == 0 || m_sent.pending) return;
        --m_sendsLeft;
        m_sent = {true, true};
    }
    struct Input {
        bool pending = false;
        bool fresh = false;
    };
    unsigned m_sendsLeft;
    Input m_sent;
    Input m_paint;
};

TEST(MessageWait, ASendThatArrivesWhileAPaintIsDispatchedIsServedNotSleptThrough) {
    WindowsRuleQueue queue(100);
    EXPECT_EQ(WaitServingSentMessages(reinterpret_cast<HANDLE>(1), INFINITE, WhileWaiting::ServeSentAndPaint, queue),
              WaitResult::Signalled);
    EXPECT_FALSE(queue.sleptThroughASend);
    EXPECT_EQ(queue.served, 100u);
}

// A window that asks to be painted again every time it is painted, and
// answers WM_APP with its wParam plus one.
LRESULT CALLBACK RepaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP:
        return static_cast<LRESULT>(wParam + 1);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        ::InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateRepaintingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RepaintingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuillbinRepainting";
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
}

// The same on the real queue, under load. Only the test's own time-out
// bounds it: a wake-up lost here leaves both threads waiting for ever.
TEST(MessageWaitOnWindows, EverySendIsAnsweredWhileTheWindowKeepsRepaintingAndTheWaitEndsWithTheThread) {
    constexpr unsigned kSends = 10000;
    HWND window = CreateRepaintingWindow();
    ASSERT_NE(window, nullptr);
    std::atomic<unsigned> answered{0};
    std::atomic<bool> ended{false};
    std::thread sender([&] {
        for (unsigned i = 0; i < kSends; ++i) {
            if (::SendMessageW(window, WM_APP, i, 0) == static_cast<LRESULT>(i + 1)) ++answered;
        }
        ended = true;
    });
    WaitForThreadServingSentMessages(sender, [&] { return ended.load(); });
    EXPECT_TRUE(ended);
    sender.join();
    EXPECT_EQ(answered, kSends);
    ::DestroyWindow(window);
}

TEST(MessageWait, BoundedWaitsSayHowTheyEnded) {
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(WaitServingSentMessages(event.get(), 20), WaitResult::TimedOut);
    EXPECT_EQ(WaitServingSentMessages(nullptr, 20), WaitResult::TimedOut);
    ::SetEvent(event.get());
    EXPECT_EQ(WaitServingSentMessages(event.get(), INFINITE), WaitResult::Signalled);
    // A handle that cannot be waited on ends the wait at once, saying so.
    EXPECT_EQ(WaitServingSentMessages(reinterpret_cast<HANDLE>(0x7FF0), INFINITE), WaitResult::Failed);
}

// The mutex as a host that runs elevated or as another user makes it,
// granting us no more than waiting and releasing.
constexpr char kHostsMutex[] = "QuillbinRestrictedMutex";
UniqueHandle CreateHostsRestrictedMutex() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100001;;;WD)", SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return UniqueHandle();
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    UniqueHandle mutex(::CreateMutexA(&attributes, FALSE, kHostsMutex));
    ::LocalFree(descriptor);
    return mutex;
}

// Wine grants every open all it asks for, whatever the descriptor: the
// rights the handle holds show what was asked for.
TEST(NamedMutexRights, AsksForWaitAndReleaseOnly) {
    UniqueHandle hosts = CreateHostsRestrictedMutex();
    ASSERT_TRUE(hosts.is_valid());
    NamedMutex ours(kHostsMutex);
    ASSERT_TRUE(ours.is_valid()) << ::GetLastError();
    PUBLIC_OBJECT_BASIC_INFORMATION info{};
    ASSERT_EQ(::NtQueryObject(ours.get(), ObjectBasicInformation, &info, sizeof info, nullptr), 0);
    EXPECT_EQ(info.GrantedAccess, kNamedMutexAccess);
}

// Windows refuses an open that asks for all access; ours still opens the
// mutex and owns it.
TEST(NamedMutexRightsOnWindows, OpensAndOwnsAMutexThatRefusesAllAccess) {
    UniqueHandle hosts = CreateHostsRestrictedMutex();
    ASSERT_TRUE(hosts.is_valid());
    UniqueHandle allAccess(::CreateMutexA(nullptr, FALSE, kHostsMutex));
    ASSERT_FALSE(allAccess.is_valid()) << "the descriptor is not enforced here";
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    NamedMutex ours(kHostsMutex);
    ASSERT_TRUE(ours.is_valid()) << ::GetLastError();
    EXPECT_TRUE(ours.lock_serving_sent_messages(1000));
}

}  // namespace
}  // namespace quillbin::win
