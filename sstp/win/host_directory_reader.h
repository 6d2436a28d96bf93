// Reads the host directory out of the shared block the ghost host publishes.
#pragma once

#include <optional>

#include "sstp/ghost_list.h"

namespace quillbin::win {

inline constexpr char kHostDirectoryName[] = "Sakura";

// The ghosts the block lists, or nullopt when there is no block, no view, a
// size field of 0 or no memory for the copy. The view and the mapping are
// held only while the block is copied; the parse works on the copy.
std::optional<GhostList> ReadHostDirectory(const char* mappingName = kHostDirectoryName);

}  // namespace quillbin::win
