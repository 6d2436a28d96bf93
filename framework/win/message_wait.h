// Waiting on a window thread.
//
// Other threads and processes reach this thread's windows through
// SendMessage, which returns only once this thread has carried the message
// out: the echo worker adding its lines, a ghost host's broadcast. A window
// thread that blocked in a plain wait would leave them waiting, and a worker
// it waits for would wait on it in turn, for ever. Every wait of a window
// thread goes through here.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

namespace quillbin::win {

enum class WaitResult {
    Signalled,
    Abandoned,  // a mutex whose owner ended without releasing it: now owned
    TimedOut,
    Failed,  // the handle cannot be waited on
};

enum class WhileWaiting {
    ServeSent,          // carry out sent messages; nothing else
    ServeSentAndPaint,  // and repaint this thread's windows
};

// The calls a wait makes on the calling thread's message queue. The wait is
// written against them so that it can be run against a queue that keeps
// Windows' rules where the stand-in we test under keeps others.
class ThreadMessageQueue {
public:
    virtual ~ThreadMessageQueue() = default;
    virtual DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD timeoutMs, DWORD wakeMask,
                                              DWORD flags) = 0;
    virtual BOOL PeekMessageW(MSG* message, UINT first, UINT last, UINT remove) = 0;
    virtual void DispatchMessageW(const MSG& message) = 0;
    virtual DWORD WaitForSingleObject(HANDLE object, DWORD timeoutMs) = 0;
    virtual DWORD GetTickCount() = 0;
};

// The calling thread's own queue, through the system's calls.
ThreadMessageQueue& CallingThreadQueue();

// Waits for `object` (nullptr: for the time-out alone) at most `timeoutMs`
// (INFINITE: without bound), carrying out every message sent to this
// thread's windows meanwhile. Posted messages and input stay queued, so no
// handler runs because of a key or a click.
WaitResult WaitServingSentMessages(HANDLE object, DWORD timeoutMs, WhileWaiting meanwhile = WhileWaiting::ServeSent,
                                   ThreadMessageQueue& queue = CallingThreadQueue());

// Waits until `thread` has ended, serving sent messages and painting; the
// thread is not joined. Should its handle fail the wait, `ended` is asked
// instead, as often as messages are served, so the wait still serves them.
void WaitForThreadServingSentMessages(std::thread& thread, const std::function<bool()>& ended);

}  // namespace quillbin::win
