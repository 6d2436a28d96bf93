// The directory text of the ghost host: records of the form
// id "." key 0x01 value, one per line, grouped by ghost id. Only the "hwnd"
// and "name" keys carry anything this program reads.
#pragma once

#include <cstdint>
#include <string_view>

#include "sstp/ghost_list.h"

namespace quillbin {

// Records whose id begins with this (ASCII letter case aside) stand for no
// ghost; hosts write one first. Its part before "dummyentry_" begins the ids
// of their ghosts.
inline constexpr std::string_view kDummyEntryPrefix = "zed_fmo_header_dummyentry_";

// The handle that no ghost can have: as a window handle it means every
// top-level window of the desktop (HWND_BROADCAST), and a request sent to it
// would reach programs that never asked for it. Like handle 0, it is never
// listed.
inline constexpr uint32_t kBroadcastWindowHandle = 0xFFFF;

// Lists the ghosts of a directory text (the block's bytes after its size
// field, up to the size). Any byte sequence is accepted: nothing is read
// outside `text`, and a text that breaks the format simply lists fewer ghosts.
GhostList ParseGhostDirectory(std::string_view text);

}  // namespace quillbin
