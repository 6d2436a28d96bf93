// COM on the calling thread, in a single-threaded apartment, for as long as
// the object lives. The shell that ShellExecute calls may load extensions
// that need it on the thread that calls.
#pragma once

#include <objbase.h>

namespace quillbin::win {

class ComApartment {
public:
    ComApartment() noexcept
        : m_entered(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        // Every successful call, S_FALSE for a thread already in an apartment
        // included, is balanced by one CoUninitialize.
        if (m_entered) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};

}  // namespace quillbin::win
