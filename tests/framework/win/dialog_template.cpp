#include "tests/framework/win/dialog_template.h"

#include <cstring>

namespace quillbin::win::testing {

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }

    template <typename T>
    T Read() {
        T value{};
        if (m_at + sizeof(T) > m_size) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        for (uint16_t c = Read<uint16_t>(); m_ok && c != 0; c = Read<uint16_t>())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }

    NameOrOrdinal ReadNameOrOrdinal() {
        NameOrOrdinal result;
        uint16_t first = Read<uint16_t>();
        if (first == 0xFFFF) {
            result.ordinal = Read<uint16_t>();
        } else if (first != 0) {
            result.name.push_back(static_cast<wchar_t>(first));
            result.name += ReadString();
        }
        return result;
    }

    void AlignTo4() { m_at = (m_at + 3) & ~size_t{3}; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_ok = true;
};

}  // namespace

std::optional<DialogTemplate> LoadDialogTemplate(unsigned id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (!found) return std::nullopt;
    auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, found)));
    Reader in(data, ::SizeofResource(module, found));

    if (in.Read<uint16_t>() != 1 || in.Read<uint16_t>() != 0xFFFF) return std::nullopt;
    DialogTemplate t;
    in.Read<uint32_t>();  // help id
    t.exStyle = in.Read<uint32_t>();
    t.style = in.Read<uint32_t>();
    uint16_t count = in.Read<uint16_t>();
    t.x = in.Read<int16_t>();
    t.y = in.Read<int16_t>();
    t.cx = in.Read<int16_t>();
    t.cy = in.Read<int16_t>();
    t.menu = in.ReadNameOrOrdinal();
    t.windowClass = in.ReadNameOrOrdinal();
    t.caption = in.ReadString();
    if (t.style & DS_SETFONT) {
        t.pointSize = in.Read<uint16_t>();
        t.weight = in.Read<uint16_t>();
        t.italic = in.Read<uint8_t>();
        t.charset = in.Read<uint8_t>();
        t.typeface = in.ReadString();
    }
    for (uint16_t i = 0; i < count && in.ok(); ++i) {
        in.AlignTo4();
        DialogItem item;
        in.Read<uint32_t>();  // help id
        item.exStyle = in.Read<uint32_t>();
        item.style = in.Read<uint32_t>();
        item.x = in.Read<int16_t>();
        item.y = in.Read<int16_t>();
        item.cx = in.Read<int16_t>();
        item.cy = in.Read<int16_t>();
        item.id = in.Read<int32_t>();
        item.windowClass = in.ReadNameOrOrdinal();
        item.title = in.ReadNameOrOrdinal();
        uint16_t extra = in.Read<uint16_t>();
        for (uint16_t b = 0; b < extra; ++b) in.Read<uint8_t>();
        t.items.push_back(item);
    }
    if (!in.ok()) return std::nullopt;
    return t;
}

}  // namespace quillbin::win::testing
