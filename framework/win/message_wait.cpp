#include "framework/win/message_wait.h"

#include <pthread.h>

namespace quillbin::win {

namespace {

// A window that never validates its area would produce WM_PAINT for ever;
// this many rounds per wake-up keep such a window from starving the wait.
constexpr int kPaintRoundsPerWake = 64;
// How often a wait whose handle failed looks at the thread again.
constexpr DWORD kPollMs = 10;

void ServeMessages(WhileWaiting meanwhile, ThreadMessageQueue& queue) {
    MSG message;
    // Peeking is what carries out the messages sent from other threads; the
    // filter keeps everything else in the queue.
    queue.PeekMessageW(&message, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (meanwhile != WhileWaiting::ServeSentAndPaint) return;
    for (int round = 0; round < kPaintRoundsPerWake; ++round) {
        // Sent messages are served by every peek too: one that arrives while
        // a paint is dispatched is carried out here or by the next wait.
        if (!queue.PeekMessageW(&message, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) break;
        queue.DispatchMessageW(message);
    }
}

class SystemQueue final : public ThreadMessageQueue {
public:
    DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD timeoutMs, DWORD wakeMask,
                                      DWORD flags) override {
        return ::MsgWaitForMultipleObjectsEx(count, handles, timeoutMs, wakeMask, flags);
    }
    BOOL PeekMessageW(MSG* message, UINT first, UINT last, UINT remove) override {
        return ::PeekMessageW(message, nullptr, first, last, remove);
    }
    void DispatchMessageW(const MSG& message) override { ::DispatchMessageW(&message); }
    DWORD WaitForSingleObject(HANDLE object, DWORD timeoutMs) override {
        return ::WaitForSingleObject(object, timeoutMs);
    }
    DWORD GetTickCount() override { return ::GetTickCount(); }
};

WaitResult ResultOf(DWORD woke, DWORD count) {
    if (woke == WAIT_TIMEOUT) return WaitResult::TimedOut;
    if (count > 0 && woke == WAIT_OBJECT_0) return WaitResult::Signalled;
    if (count > 0 && woke == WAIT_ABANDONED_0) return WaitResult::Abandoned;
    return WaitResult::Failed;
}

}  // namespace

ThreadMessageQueue& CallingThreadQueue() {
    // Holds nothing: every call goes to the calling thread's own queue.
    static SystemQueue queue;
    return queue;
}

WaitResult WaitServingSentMessages(HANDLE object, DWORD timeoutMs, WhileWaiting meanwhile, ThreadMessageQueue& queue) {
    const DWORD count = object ? 1 : 0;
    const DWORD wakeFor = QS_SENDMESSAGE | (meanwhile == WhileWaiting::ServeSentAndPaint ? QS_PAINT : 0);
    const DWORD started = queue.GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const DWORD elapsed = queue.GetTickCount() - started;
            left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        }
        // Every peek, ours or a handler's, marks the queue's input as no
        // longer new, and a wait without MWMO_INPUTAVAILABLE sleeps through
        // input that was seen but not taken: a message sent while a paint
        // was dispatched would then wait as long as this thread does.
        const DWORD woke =
            queue.MsgWaitForMultipleObjectsEx(count, count ? &object : nullptr, left, wakeFor, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + count) return ResultOf(woke, count);
        ServeMessages(meanwhile, queue);
        // Messages that keep coming must not stretch the wait past its end.
        if (left == 0) return count ? ResultOf(queue.WaitForSingleObject(object, 0), count) : WaitResult::TimedOut;
    }
}

void WaitForThreadServingSentMessages(std::thread& thread, const std::function<bool()>& ended) {
    // MinGW's std::thread stands on winpthreads, which keeps the Win32 handle
    // of each of its threads until the join.
    auto handle = static_cast<HANDLE>(::pthread_gethandle(thread.native_handle()));
    if (handle && WaitServingSentMessages(handle, INFINITE, WhileWaiting::ServeSentAndPaint) != WaitResult::Failed) {
        return;
    }
    while (!ended()) WaitServingSentMessages(nullptr, kPollMs, WhileWaiting::ServeSentAndPaint);
}

}  // namespace quillbin::win
