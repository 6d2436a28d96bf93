#include "tools/ghost_host/win/ghost_host.h"

#include <algorithm>

#include "framework/win/wide_text.h"
#include "sstp/host_directory.h"
#include "sstp/win/sakura_message.h"
#include "tools/ghost_host/host_directory_writer.h"
#include "tools/ghost_host/host_protocol.h"

namespace quillbin::win {

namespace {

// Exit codes: 0 after "quit" or a closed window; a host that cannot start
// says where it stopped, as its tools and tests only see the code.
constexpr int kCannotOpenLog = 3;
constexpr int kCannotRegisterClasses = 5;
constexpr int kCannotCreateBlock = 6;
constexpr int kCannotStartGhost = 7;
constexpr int kCannotCreateWindow = 8;

// The folder of ghost_host.exe, with a trailing backslash, in code page 932.
std::string ProgramFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, n < MAX_PATH ? n : 0);
    return Cp932FromWide(full.substr(0, full.find_last_of(L'\\') + 1));
}

uint32_t WindowNumber(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

}  // namespace

GhostHost::GhostHost(HostOptions options)
    : m_options(std::move(options)),
      m_sakuraMessage(::RegisterWindowMessageA(kSakuraMessageName)),
      m_identity{::GetCurrentProcessId(), ProgramFolder()},
      m_services{m_log, m_feed, m_block, m_sakuraMessage} {}

GhostHost::~GhostHost() {
    // Ask every thread to end first, so the waits below overlap.
    for (auto& ghost : m_ghosts) ghost->RequestStop();
    m_ghosts.clear();
    m_retiring.clear();
}

int GhostHost::Run(HINSTANCE instance) {
    m_instance = instance;
    if (!m_options.logPath.empty() && !m_log.Open(WideFromUtf8(m_options.logPath))) return kCannotOpenLog;
    if (!DemoGhost::RegisterWindowClass(instance) || !ControlWindow::RegisterWindowClass(instance)) {
        return kCannotRegisterClasses;
    }
    if (!m_block.Create()) return kCannotCreateBlock;
    for (const GhostSetup& setup : m_options.ghosts) {
        if (!AddGhost(setup)) return kCannotStartGhost;
    }
    Publish();
    // The control window comes last: once it exists, the host is ready.
    if (!m_window.Create(instance, *this)) return kCannotCreateWindow;
    m_feed.Attach(m_window.window(), ControlWindow::kRequestsArrived);
    ShowGhosts();
    if (!m_options.hidden) ::ShowWindow(m_window.window(), SW_SHOWNOACTIVATE);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_feed.Attach(nullptr, 0);
    return 0;
}

bool GhostHost::AddGhost(const GhostSetup& setup) {
    auto ghost = std::make_unique<DemoGhost>(setup, m_services);
    if (!ghost->Start(m_instance)) return false;
    ghost->SetIndex(static_cast<uint32_t>(m_ghosts.size()));
    m_ghosts.push_back(std::move(ghost));
    return true;
}

void GhostHost::RetireGhost(std::unique_ptr<DemoGhost> ghost) {
    // A ghost may be inside a slow answer: never wait for it here.
    ghost->RequestStop();
    m_retiring.push_back(std::move(ghost));
}

HostDirectory GhostHost::Directory(bool reversed) const {
    std::vector<DirectoryGhost> entries;
    for (const auto& ghost : m_ghosts) {
        const bool broadcast = ghost->setup().answer == GhostAnswer::Broadcast;
        entries.push_back(DirectoryGhost{Cp932FromWide(WideFromUtf8(ghost->setup().name)),
                                         broadcast ? kBroadcastWindowHandle : WindowNumber(ghost->window())});
    }
    if (reversed) std::reverse(entries.begin(), entries.end());
    return BuildHostDirectory(m_identity, entries, kHostDirectoryBlockSize);
}

void GhostHost::Publish() {
    for (size_t i = 0; i < m_ghosts.size(); ++i) m_ghosts[i]->SetIndex(static_cast<uint32_t>(i));
    HostDirectory directory = Directory();
    if (!m_block.Publish(directory.bytes) && m_window.window()) {
        m_window.AddNote(L"the block was left as it was: its mutex stayed taken");
    }
    m_listed = directory.ghosts;
    for (size_t i = 0; i < m_listed; ++i) {
        if (m_ghosts[i]->setup().answer == GhostAnswer::Gone) m_ghosts[i]->Vanish();
    }
}

void GhostHost::Broadcast() { ::PostMessageW(HWND_BROADCAST, m_sakuraMessage, kSakuraRefresh, 0); }

void GhostHost::ShowGhosts() {
    if (!m_window.window()) return;
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < m_ghosts.size(); ++i) {
        const DemoGhost& ghost = *m_ghosts[i];
        std::wstring line = std::to_wstring(i) + L"  " +
                            WideFromUtf8(GhostDirectoryId(m_identity.processId, WindowNumber(ghost.window()))) +
                            L"  \"" + WideFromUtf8(ghost.setup().name) + L"\"  window " +
                            std::to_wstring(reinterpret_cast<uintptr_t>(ghost.window())) + L"  " +
                            WideFromUtf8(DescribeGhostAnswer(ghost.setup()));
        if (ghost.vanished()) line += L"  (window destroyed, still listed)";
        if (i >= m_listed) line += L"  (not listed: the block is full)";
        lines.push_back(std::move(line));
    }
    m_window.ShowGhosts(lines);
}

bool GhostHost::OnCommand(std::string_view utf8) {
    auto command = ParseHostCommand(utf8);
    if (!command) {
        m_window.AddNote(L"rejected command: " + WideFromUtf8(utf8.substr(0, 200)));
        return false;
    }
    switch (command->kind) {
    case HostCommand::Kind::Quit:
        ::PostMessageW(m_window.window(), WM_CLOSE, 0, 0);
        return true;
    case HostCommand::Kind::Hold:
    case HostCommand::Kind::Alternate:
        return OnBlockExercise(*command, utf8);
    case HostCommand::Kind::Add:
        if (!AddGhost(command->ghost)) return false;
        break;
    case HostCommand::Kind::Remove: {
        // Every ghost of that name goes; the others keep their order.
        auto kept = [&](const auto& ghost) { return ghost->setup().name != command->ghost.name; };
        auto first = std::stable_partition(m_ghosts.begin(), m_ghosts.end(), kept);
        if (first == m_ghosts.end()) return false;
        for (auto it = first; it != m_ghosts.end(); ++it) RetireGhost(std::move(*it));
        m_ghosts.erase(first, m_ghosts.end());
        break;
    }
    case HostCommand::Kind::Clear:
        for (auto& ghost : m_ghosts) RetireGhost(std::move(ghost));
        m_ghosts.clear();
        break;
    }
    // An alternation would write the old ghosts over the new; a hold is
    // waited for, as by any writer.
    m_exercise.StopAlternating();
    Publish();
    Broadcast();
    ShowGhosts();
    m_window.AddNote(WideFromUtf8(utf8.substr(0, 200)));
    return true;
}

bool GhostHost::OnBlockExercise(const HostCommand& command, std::string_view utf8) {
    bool accepted = true;
    if (command.timeMs == 0) {
        m_exercise.Stop();
    } else if (command.kind == HostCommand::Kind::Hold) {
        accepted = m_exercise.Hold(command.timeMs);
    } else {
        m_exercise.Alternate(command.timeMs, Directory().bytes, Directory(true).bytes);
    }
    m_window.AddNote(WideFromUtf8(utf8.substr(0, 200)) + (accepted ? L"" : L" (the mutex stayed taken)"));
    return accepted;
}

void GhostHost::OnRequestsArrived() {
    for (const ShownRequest& request : m_feed.Take()) m_window.AddRequest(request);
}

void GhostHost::OnTimer() {
    std::erase_if(m_retiring, [](const auto& ghost) { return ghost->Finished(); });
}

}  // namespace quillbin::win
