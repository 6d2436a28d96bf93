#include "framework/win/clipboard.h"

#include <cstring>

#include "framework/win/unique_handle.h"

namespace quillbin::win {

namespace {

// Another program may hold the clipboard open for a moment (a clipboard
// manager reading what was just put there): a few short tries before giving
// up keep a copy from failing for that alone.
constexpr int kOpenTries = 10;
constexpr DWORD kOpenRetryMs = 20;

class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        for (int i = 0; i < kOpenTries && !m_open; ++i) {
            if (i > 0) ::Sleep(kOpenRetryMs);
            m_open = ::OpenClipboard(owner) != FALSE;
        }
    }
    ~OpenClipboardScope() {
        if (m_open) ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    explicit operator bool() const noexcept { return m_open; }

private:
    bool m_open = false;
};

}  // namespace

bool SetClipboardText(HWND owner, std::wstring_view text) {
    // Made before the clipboard is emptied, so that a failure leaves it as it was.
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* target = ::GlobalLock(memory.get());
    if (!target) return false;
    std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
    static_cast<wchar_t*>(target)[text.size()] = L'\0';
    ::GlobalUnlock(memory.get());

    OpenClipboardScope clipboard(owner);
    if (!clipboard || !::EmptyClipboard()) return false;
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    // The clipboard owns the memory from here on.
    memory.release();
    return true;
}

}  // namespace quillbin::win
