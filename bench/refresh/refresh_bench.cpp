// What one refresh of the ghost list costs under Wine, block opened, mapped,
// copied and parsed: a 64 KiB block "Sakura" listing 100 ghosts the way hosts
// write them today, published by this program itself, with the mutex
// "SakuraFMO" free, beside the read alone and the same read without the
// mutex. Prints the median, fastest and slowest of each.
//   refresh_bench [ROUNDS]      (default 2000)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/win/unique_handle.h"
#include "sstp/win/ghost_notifier_bindings.h"
#include "sstp/win/host_directory_reader.h"
#include "sstp/win/sakura_message.h"
#include "tests/support/ghost_notifier_peer.h"
#include "tools/ghost_host/host_directory_writer.h"

namespace quillbin::win {
namespace {

constexpr size_t kBlockBytes = 64 * 1024;
constexpr uint32_t kGhosts = 100;

// 100 ghosts of one host, then further properties of the last one until the
// text fills the block.
std::string FullBlock() {
    std::vector<DirectoryGhost> ghosts;
    for (uint32_t i = 0; i < kGhosts; ++i) ghosts.push_back({"Ghost " + std::to_string(i), 0x10000 + 2 * i});
    const DirectoryHost host{0x2a5, "C:\\host\\"};
    std::string block = BuildHostDirectory(host, ghosts, kBlockBytes).bytes;
    block.pop_back();  // the NUL
    const std::string filler =
        GhostDirectoryId(host.processId, ghosts.back().hwnd) + ".more\x01" + std::string(60, 'f') + "\r\n";
    while (block.size() + filler.size() < kBlockBytes) block += filler;
    block.resize(kBlockBytes, '\0');
    const uint32_t size = static_cast<uint32_t>(kBlockBytes);
    for (int i = 0; i < 4; ++i) block[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return block;
}

struct Series {
    explicit Series(const char* name) : what(name) {}
    const char* what;
    std::vector<double> us;
    bool wrong = false;  // a refresh listed another number of ghosts
};

// One refresh of `series`, timed.
template <typename Refresh>
void Time(Series& series, Refresh refresh) {
    auto started = std::chrono::steady_clock::now();
    size_t listed = refresh();
    series.us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count());
    if (listed != kGhosts) series.wrong = true;
}

void Print(Series& series) {
    std::sort(series.us.begin(), series.us.end());
    std::printf("  %-34s %9.1f %9.1f %9.1f us%s\n", series.what, series.us[series.us.size() / 2], series.us.front(),
                series.us.back(), series.wrong ? "  (a refresh listed another number of ghosts)" : "");
}

int Run(int refreshes) {
    UniqueHandle mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              static_cast<DWORD>(kBlockBytes), kHostDirectoryName));
    if (!mapping || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        std::printf("cannot publish a block \"Sakura\" of our own (is a host running?)\n");
        return 1;
    }
    UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!view) return 1;
    const std::string block = FullBlock();
    std::memcpy(const_cast<void*>(view.get()), block.data(), block.size());

    std::printf("one refresh, 64 KiB block, %u ghosts, %d rounds   median   fastest   slowest\n", kGhosts, refreshes);
    HostDirectoryReader locked;
    HostDirectoryReader unlocked(nullptr);
    GhostNotifierBindings notifier(RegisterSakuraMessage());
    Series whole{"RefreshGhostList, mutex free"}, underMutex{"read under the mutex (free)"},
        withoutMutex{"read without the mutex"};
    // Taken in turn, so that all three see the same machine.
    for (int i = 0; i < refreshes; ++i) {
        Time(whole, [&] {
            notifier.RefreshGhostList();
            return GhostNotifierPeer::Ghosts(notifier).size();
        });
        Time(underMutex, [&] { return locked.Read().value_or(GhostList{}).size(); });
        Time(withoutMutex, [&] { return unlocked.Read().value_or(GhostList{}).size(); });
    }
    Print(whole);
    Print(underMutex);
    Print(withoutMutex);
    return 0;
}

}  // namespace
}  // namespace quillbin::win

int main(int argc, char** argv) {
    int refreshes = argc > 1 ? std::atoi(argv[1]) : 2000;
    return quillbin::win::Run(refreshes > 0 ? refreshes : 2000);
}
