// Counts another process's GDI objects. GetGuiResources is asked first; Wine
// 8 answers it with 0 for every process (a stub), so then the count is read
// from the process's GDI handle table, which Wine keeps in the process's
// memory and publishes in its PEB (GdiSharedHandleTable), as Windows does.
#pragma once

#include <windows.h>

#include <map>
#include <optional>

namespace quillbin::win::e2e {

struct GdiObjectCount {
    int total = 0;
    int fonts = 0;  // -1 when the method cannot tell fonts apart
    const char* method = "";
    // Objects by kind (the handle table's type byte; under Wine 8: 0x01 device
    // context, 0x04 region, 0x05 surface, 0x09 bitmap, 0x0A font, 0x10 brush
    // or pen); empty with GetGuiResources.
    std::map<int, int> byType;
};

std::optional<GdiObjectCount> CountGdiObjects(HANDLE process);

}  // namespace quillbin::win::e2e
