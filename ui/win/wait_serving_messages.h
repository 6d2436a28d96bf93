// Waiting on the window thread for a thread that talks to its windows.
//
// The echo worker reaches the dialog's controls through SendMessage, which
// only returns once the window thread has carried the message out. A window
// thread that simply blocked on the worker's handle would never do so, and
// both would wait for ever.
#pragma once

#include <windows.h>

#include <thread>

namespace quillbin::win {

// Waits until `thread` has ended, carrying out the messages that other
// threads send to this thread's windows and painting them meanwhile. User
// input and posted messages stay queued: no handler of ours runs because of
// a key or a click while the wait goes on.
void WaitServingSentMessages(HANDLE thread);
// The same for a std::thread, which it then joins.
void WaitServingSentMessages(std::thread& thread);

}  // namespace quillbin::win
