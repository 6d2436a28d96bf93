// What the demo ghost host and the programs that drive it (the test fixture,
// the run script through `--command`) agree on. The protocol it shares with
// the program (the block, its mutex, "sakura" and its wParam) comes from sstp/.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sstp/win/sakura_message.h"

namespace quillbin {

// The control window's class; `--command` and the test fixture look it up.
inline constexpr wchar_t kGhostHostWindowClass[] = L"QuillbinGhostHost";
// The class of every demo ghost's window.
inline constexpr wchar_t kDemoGhostWindowClass[] = L"QuillbinDemoGhost";

// dwData of a WM_COPYDATA that carries a control command ("QBGH").
inline constexpr uint32_t kGhostHostCommandId = 0x51424748;

// Size of the named block the host creates.
inline constexpr size_t kHostDirectoryBlockSize = 64 * 1024;

}  // namespace quillbin
