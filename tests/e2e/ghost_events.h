// The events that the demo ghost host's ghosts logged, picked out by name.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/dialog_driver.h"
#include "tests/support/ghost_host_fixture.h"

namespace quillbin::win::e2e {

// Requests whose body carries "Event: <name>", in order of arrival; with a
// ghost name, only those that ghost received.
std::vector<LoggedRequest> EventsNamed(const GhostHostProcess& host, std::string_view event,
                                       std::string_view ghost = {});
bool WaitForEvents(const GhostHostProcess& host, std::string_view event, size_t count, DWORD timeoutMs,
                   std::string_view ghost = {});

// Presses the send button, then waits until the host has logged
// `resultsExpected` results events in all (every ghost's copy counts) and
// the dialog is ready for the next run.
bool RunAndWaitForResults(const DialogDriver& dialog, const GhostHostProcess& host, size_t resultsExpected,
                          DWORD timeoutMs);

// Makes the dialog refresh its ghost list now, as the host's "sakura"
// broadcast would, but sent: when this returns, the refresh is done.
bool RefreshGhostsNow(HWND dialog);

}  // namespace quillbin::win::e2e
