// The ghost list, its lock and the two operations on it. The main dialog owns
// one and forwards RefreshGhostList and SendSstpNotify to it.
#pragma once

#include <windows.h>

#include <string_view>

#include "framework/win/unique_handle.h"
#include "sstp/ghost_list.h"

namespace quillbin::win {

class GhostNotifier {
public:
    // `sakuraMessage`: the registered "sakura" message number, posted to the
    // sender window to run a refresh that had to be put off.
    explicit GhostNotifier(UINT sakuraMessage);

    // The window whose handle goes into wParam and the "HWnd" line, and whose
    // thread does every refresh. Set once the dialog's window exists.
    void SetSenderWindow(HWND window);

    // Rebuilds the list from the block "Sakura". 1 when the block was read,
    // 0 when there was none (the list is then empty). Window thread only.
    int RefreshGhostList();

    // Delivers one NOTIFY request to every listed ghost; returns how many
    // deliveries failed.
    unsigned SendSstpNotify(std::string_view body);

    // A copy of the list, taken under the lock.
    GhostList Ghosts();

private:
    // Implementation details are the notifier's own.
};

}  // namespace quillbin::win
