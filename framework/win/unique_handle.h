// Owners for Win32 resources, one type per kind of resource, each with its own
// invalid value: a file handle is invalid at INVALID_HANDLE_VALUE, a mapping or
// a module at NULL. Copying is deleted (a copy would release twice); moving
// hands the resource over.
#pragma once

#include <windows.h>

#include <utility>

namespace quillbin::win {

// Traits: `type`, `Invalid()` and `Close(type)`.
template <typename Traits>
class UniqueAny {
public:
    using type = typename Traits::type;

    UniqueAny() noexcept = default;
    explicit UniqueAny(type value) noexcept : m_value(value) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : m_value(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    type get() const noexcept { return m_value; }
    bool is_valid() const noexcept { return m_value != Traits::Invalid(); }
    explicit operator bool() const noexcept { return is_valid(); }

    type release() noexcept { return std::exchange(m_value, Traits::Invalid()); }
    void reset(type value = Traits::Invalid()) noexcept {
        type old = std::exchange(m_value, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    type m_value = Traits::Invalid();
};

struct HandleNullTraits {
    using type = HANDLE;
    static type Invalid() noexcept { return nullptr; }
    static void Close(type h) noexcept { ::CloseHandle(h); }
};
struct HandleInvalidTraits {
    using type = HANDLE;
    static type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(type h) noexcept { ::CloseHandle(h); }
};
struct ModuleTraits {
    using type = HMODULE;
    static type Invalid() noexcept { return nullptr; }
    static void Close(type h) noexcept { ::FreeLibrary(h); }
};
struct MappedViewTraits {
    using type = const void*;
    static type Invalid() noexcept { return nullptr; }
    static void Close(type v) noexcept { ::UnmapViewOfFile(v); }
};
struct FontTraits {
    using type = HFONT;
    static type Invalid() noexcept { return nullptr; }
    static void Close(type f) noexcept { ::DeleteObject(f); }
};
struct MenuTraits {
    using type = HMENU;
    static type Invalid() noexcept { return nullptr; }
    static void Close(type m) noexcept { ::DestroyMenu(m); }
};
struct GlobalMemoryTraits {
    using type = HGLOBAL;
    static type Invalid() noexcept { return nullptr; }
    static void Close(type g) noexcept { ::GlobalFree(g); }
};

// Threads, events, file mappings, processes: NULL when absent.
using UniqueHandle = UniqueAny<HandleNullTraits>;
// Files: INVALID_HANDLE_VALUE when absent.
using UniqueFile = UniqueAny<HandleInvalidTraits>;
using UniqueModule = UniqueAny<ModuleTraits>;
using UniqueMappedView = UniqueAny<MappedViewTraits>;
using UniqueFont = UniqueAny<FontTraits>;
// A menu made at run time (a popup menu), not one a window owns.
using UniqueMenu = UniqueAny<MenuTraits>;
// Movable global memory; handed over (released) once the clipboard owns it.
using UniqueGlobal = UniqueAny<GlobalMemoryTraits>;

// A critical section: it admits the thread that already holds it.
class CriticalSection {
public:
    CriticalSection() noexcept { ::InitializeCriticalSection(&m_section); }
    ~CriticalSection() { ::DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    class [[nodiscard]] Guard {
    public:
        Guard(Guard&& other) noexcept : m_section(std::exchange(other.m_section, nullptr)) {}
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        Guard& operator=(Guard&&) = delete;
        ~Guard() {
            if (m_section) ::LeaveCriticalSection(m_section);
        }
        explicit operator bool() const noexcept { return m_section != nullptr; }

    private:
        friend class CriticalSection;
        explicit Guard(CRITICAL_SECTION* section) noexcept : m_section(section) {}
        CRITICAL_SECTION* m_section;
    };

    [[nodiscard]] Guard lock() noexcept {
        ::EnterCriticalSection(&m_section);
        return Guard(&m_section);
    }
    // An empty guard when another thread holds the section.
    [[nodiscard]] Guard try_lock() noexcept {
        return Guard(::TryEnterCriticalSection(&m_section) ? &m_section : nullptr);
    }

private:
    CRITICAL_SECTION m_section;
};

// The device context of one WM_PAINT: BeginPaint now, EndPaint when the
// scope ends.
class PaintContext {
public:
    explicit PaintContext(HWND window) noexcept : m_window(window) { m_dc = ::BeginPaint(window, &m_paint); }
    ~PaintContext() {
        if (m_dc) ::EndPaint(m_window, &m_paint);
    }
    PaintContext(const PaintContext&) = delete;
    PaintContext& operator=(const PaintContext&) = delete;

    HDC get() const noexcept { return m_dc; }
    const PAINTSTRUCT& paint() const noexcept { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc = nullptr;
};

}  // namespace quillbin::win
