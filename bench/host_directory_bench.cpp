// What one refresh costs once the block is mapped: the copy out of the view
// and the parse of the copy, for a full 64 KiB block listing 100 ghosts,
// beside a plain memcpy of the same block.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "sstp/host_directory.h"

namespace {

constexpr size_t kBlockBytes = 64 * 1024;
constexpr int kGhosts = 100;

// A host block the way a busy host writes one: a dummy entry, then for each
// ghost its handle, its name and a handful of other properties, the text
// padded with further properties until the block is full.
std::vector<char> MakeFullBlock() {
    std::string text = std::string("zed_fmo_header_dummyentry_0.hwnd") + '\x01' + "0\r\n";
    for (int i = 0; i < kGhosts; ++i) {
        std::string id = "quillbin_ghost_" + std::to_string(i);
        text += id + ".path" + '\x01' + "C:\\ghosts\\" + std::to_string(i) + "\\\r\n";
        text += id + ".hwnd\x01" + std::to_string(65536 + 2 * i) + "\r\n";
        // ソフト in code page 932.
        text += id + ".name" + '\x01' + "\x83\x5C\x83\x74\x83\x67 " + std::to_string(i) + "\r\n";
        text += id + ".keroname" + '\x01' + "kero\r\n";
        for (int k = 0; k < 4; ++k) {
            text += id + ".property" + std::to_string(k) + "\x01" + std::string(60, 'p') + "\r\n";
        }
    }
    const std::string filler = "quillbin_ghost_99.more\x01" + std::string(60, 'f') + "\r\n";
    while (4 + text.size() + filler.size() < kBlockBytes) text += filler;
    if (4 + text.size() > kBlockBytes) return {};  // the ghosts alone must fit
    text.resize(kBlockBytes - 4, '\0');

    std::vector<char> block(kBlockBytes);
    const uint32_t size = static_cast<uint32_t>(kBlockBytes);
    for (int i = 0; i < 4; ++i) block[i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    std::memcpy(block.data() + 4, text.data(), text.size());
    return block;
}

void RefreshParse(benchmark::State& state) {
    const std::vector<char> view = MakeFullBlock();
    if (view.empty()) state.SkipWithError("the ghosts do not fit into the block");
    for (auto _ : state) {
        quillbin::HostDirectoryCopy copy = quillbin::CopyHostDirectoryBlock(view.data(), view.size());
        quillbin::GhostList list = quillbin::ParseHostDirectoryBlock(copy.Block());
        if (list.size() != kGhosts) state.SkipWithError("wrong number of ghosts");
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBlockBytes));
}
BENCHMARK(RefreshParse);

void PlainMemcpy(benchmark::State& state) {
    const std::vector<char> view = MakeFullBlock();
    std::vector<char> copy(view.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), view.data(), view.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBlockBytes));
}
BENCHMARK(PlainMemcpy);

}  // namespace
