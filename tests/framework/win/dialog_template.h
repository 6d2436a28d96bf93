// Reads an extended dialog template (DLGTEMPLATEEX) out of a resource, so
// that tests can compare a template field by field with its table.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillbin::win::testing {

// A name or an ordinal, as templates hold class names and texts.
struct NameOrOrdinal {
    std::wstring name;
    uint16_t ordinal = 0;  // nonzero: an ordinal, `name` is empty
};

struct DialogItem {
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    int32_t id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
};

struct DialogTemplate {
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring caption;
    uint16_t pointSize = 0;
    uint16_t weight = 0;
    uint8_t italic = 0;
    uint8_t charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// nullopt when the resource is missing or is not an extended template.
std::optional<DialogTemplate> LoadDialogTemplate(unsigned id);

}  // namespace quillbin::win::testing
