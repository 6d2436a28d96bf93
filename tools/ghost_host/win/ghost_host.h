// The demo ghost host: runs the ghosts, publishes them in "Sakura", tells
// readers when the list changes, and obeys the control commands.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

#include "tools/ghost_host/host_command.h"
#include "tools/ghost_host/host_directory_writer.h"
#include "tools/ghost_host/win/block_exercise.h"
#include "tools/ghost_host/win/control_window.h"
#include "tools/ghost_host/win/demo_ghost.h"
#include "tools/ghost_host/win/host_directory_block.h"
#include "tools/ghost_host/win/request_feed.h"
#include "tools/ghost_host/win/request_log_file.h"

namespace quillbin::win {

class GhostHost final : private ControlWindow::Owner {
public:
    explicit GhostHost(HostOptions options);
    ~GhostHost();
    GhostHost(const GhostHost&) = delete;
    GhostHost& operator=(const GhostHost&) = delete;

    // Runs until "quit" or the window is closed; returns the exit code.
    int Run(HINSTANCE instance);

private:
    bool OnCommand(std::string_view utf8) override;
    void OnRequestsArrived() override;
    void OnTimer() override;

    bool OnBlockExercise(const HostCommand& command, std::string_view utf8);
    bool AddGhost(const GhostSetup& setup);
    void RetireGhost(std::unique_ptr<DemoGhost> ghost);
    // The directory of the current ghosts, in their order or reversed.
    HostDirectory Directory(bool reversed = false) const;
    // Writes the current ghosts into the block, then destroys the window of
    // every "gone" ghost that has now been listed once.
    void Publish();
    void Broadcast();
    void ShowGhosts();

    HostOptions m_options;
    HINSTANCE m_instance = nullptr;
    UINT m_sakuraMessage = 0;
    DirectoryHost m_identity;
    HostDirectoryBlock m_block;
    BlockExercise m_exercise{m_block};
    RequestLogFile m_log;
    RequestFeed m_feed;
    GhostServices m_services;
    std::vector<std::unique_ptr<DemoGhost>> m_ghosts;
    // Removed ghosts whose threads are still finishing a request.
    std::vector<std::unique_ptr<DemoGhost>> m_retiring;
    ControlWindow m_window;
    size_t m_listed = 0;
};

}  // namespace quillbin::win
