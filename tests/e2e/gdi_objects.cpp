#include "tests/e2e/gdi_objects.h"

#include <winternl.h>

#include <cstdint>
#include <vector>

namespace quillbin::win::e2e {

namespace {

// One entry of the handle table (GDI_HANDLE_ENTRY, 64-bit layout): Type is
// nonzero while the handle is in use.
struct HandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(HandleEntry) == 24);

constexpr size_t kTableEntries = 0x10000;
constexpr size_t kPebGdiTableOffset = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit
constexpr uint8_t kFontType = 0x0A;

std::optional<GdiObjectCount> CountFromHandleTable(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return std::nullopt;
    }
    uint64_t table = 0;
    SIZE_T got = 0;
    auto* tableField = reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset;
    if (!::ReadProcessMemory(process, tableField, &table, sizeof table, &got) || table == 0) return std::nullopt;
    std::vector<HandleEntry> entries(kTableEntries);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                             entries.size() * sizeof(HandleEntry), &got) ||
        got != entries.size() * sizeof(HandleEntry)) {
        return std::nullopt;
    }
    GdiObjectCount count;
    count.method = "GDI handle table";
    for (const HandleEntry& entry : entries) {
        if (entry.type == 0) continue;
        ++count.total;
        ++count.byType[entry.type];
        if (entry.type == kFontType) ++count.fonts;
    }
    return count;
}

}  // namespace

std::optional<GdiObjectCount> CountGdiObjects(HANDLE process) {
    DWORD objects = ::GetGuiResources(process, GR_GDIOBJECTS);
    // Every process holds some GDI objects (the stock ones at least): 0 is
    // the stub's answer, not a count.
    if (objects > 0) return GdiObjectCount{static_cast<int>(objects), -1, "GetGuiResources", {}};
    return CountFromHandleTable(process);
}

}  // namespace quillbin::win::e2e
