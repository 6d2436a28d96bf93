// The running ghosts as the host directory last listed them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillbin {

// Two parallel lists of equal length, in directory order. A ghost with
// handle 0 is never listed; handles are not de-duplicated.
struct GhostList {
    std::vector<std::string> names;  // code page 932 bytes; nothing reads them
    std::vector<uint32_t> handles;   // window handles, as the host wrote them

    void Clear() {
        // Release the storage too: every refresh rebuilds from nothing.
        std::vector<std::string>().swap(names);
        std::vector<uint32_t>().swap(handles);
    }
    size_t size() const { return handles.size(); }
};

}  // namespace quillbin
