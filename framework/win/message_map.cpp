#include "framework/win/message_map.h"

namespace quillbin::win {

bool MessageEntry::Matches(const MessageContext& m) const {
    if (registered) {
        // 0 means the registration failed: such a row never matches.
        if (*registered == 0 || m.message != *registered) return false;
    } else if (m.message < message || m.message > lastMessage) {
        return false;
    }
    UINT sourceId = kAnyId;
    UINT sourceCode = kAnyCode;
    if (m.message == WM_COMMAND) {
        sourceId = LOWORD(m.wParam);
        sourceCode = HIWORD(m.wParam);
    } else if (m.message == WM_NOTIFY && m.lParam) {
        const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
        sourceId = static_cast<UINT>(header->idFrom);
        sourceCode = header->code;
    }
    if (id != kAnyId && id != sourceId) return false;
    if (code != kAnyCode && code != sourceCode) return false;
    return true;
}

const MessageEntry* MessageMap::Find(const MessageContext& m) const {
    for (const MessageMap* map = this; map; map = map->base) {
        for (const MessageEntry& entry : map->entries) {
            if (entry.Matches(m)) return &entry;
        }
    }
    return nullptr;
}

}  // namespace quillbin::win
