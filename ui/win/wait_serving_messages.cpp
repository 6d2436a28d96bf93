#include "ui/win/wait_serving_messages.h"

#include <pthread.h>

namespace quillbin::win {

namespace {

// A window that never validates its area would produce WM_PAINT for ever;
// this many rounds per wake-up keep such a window from starving the wait.
constexpr int kPaintRoundsPerWake = 64;

}  // namespace

void WaitServingSentMessages(HANDLE thread) {
    for (;;) {
        DWORD woke = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE | QS_PAINT);
        if (woke != WAIT_OBJECT_0 + 1) return;  // the thread ended, or the handle is unusable
        MSG message;
        // Peeking is what delivers the messages sent from other threads; the
        // filter keeps everything else in the queue.
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        for (int round = 0; round < kPaintRoundsPerWake; ++round) {
            if (!::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT)) break;
            ::DispatchMessageW(&message);
        }
    }
}

void WaitServingSentMessages(std::thread& thread) {
    // MinGW's std::thread stands on winpthreads, which keeps the Win32 handle
    // of each of its threads until the join.
    WaitServingSentMessages(static_cast<HANDLE>(::pthread_gethandle(thread.native_handle())));
    thread.join();
}

}  // namespace quillbin::win
