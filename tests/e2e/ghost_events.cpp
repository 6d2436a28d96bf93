#include "tests/e2e/ghost_events.h"

#include "tests/e2e/expected_texts.h"
#include "tests/support/waiting.h"
#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win::e2e {

std::vector<LoggedRequest> EventsNamed(const GhostHostProcess& host, std::string_view event, std::string_view ghost) {
    std::string marker = "\r\nEvent: " + std::string(event) + "\r\n";
    std::vector<LoggedRequest> out;
    for (LoggedRequest& request : host.Requests()) {
        if (request.bytes.find(marker) == std::string::npos) continue;
        if (!ghost.empty() && request.ghost != ghost) continue;
        out.push_back(std::move(request));
    }
    return out;
}

bool WaitForEvents(const GhostHostProcess& host, std::string_view event, size_t count, DWORD timeoutMs,
                   std::string_view ghost) {
    return WaitUntil([&] { return EventsNamed(host, event, ghost).size() >= count; }, timeoutMs);
}

bool RunAndWaitForResults(const DialogDriver& dialog, const GhostHostProcess& host, size_t resultsExpected,
                          DWORD timeoutMs) {
    dialog.PressSend();
    return WaitForEvents(host, kResultsEvent, resultsExpected, timeoutMs) && dialog.WaitIdle(timeoutMs);
}

bool RefreshGhostsNow(HWND dialog) {
    UINT sakura = ::RegisterWindowMessageW(L"sakura");
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(dialog, sakura, kSakuraRefreshWParam, 0, SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
}

}  // namespace quillbin::win::e2e
