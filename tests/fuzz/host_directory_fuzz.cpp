// The host directory block comes from another process: any bytes at all must
// give a consistent list without a crash, a hang or a read outside them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sstp/host_directory.h"

namespace {

void CheckList(const quillbin::GhostList& list, size_t inputSize) {
    if (list.names.size() != list.handles.size()) __builtin_trap();
    // Every listed ghost needs at least one "hwnd" record of 7 bytes.
    if (list.size() * 7 > inputSize) __builtin_trap();
    for (uint32_t handle : list.handles) {
        if (handle == 0 || handle == quillbin::kBroadcastWindowHandle) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input as a whole mapped view, size field included ...
    quillbin::HostDirectoryCopy copy = quillbin::CopyHostDirectoryBlock(data, size);
    if (copy) {
        if (copy.Block().size() > size) __builtin_trap();
        CheckList(quillbin::ParseHostDirectoryBlock(copy.Block()), size);
    }
    // ... and as a bare directory text.
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckList(quillbin::ParseHostDirectory(text), size);
    return 0;
}
