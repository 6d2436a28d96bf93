// The program's resources as Windows loads them: the two dialog templates
// against their tables, the controls they create, the strings, icons,
// bitmaps, version block and manifest. Built with the program's own
// resource files.
#include <windows.h>

#include <commctrl.h>
#include <cwctype>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/resource_text.h"
#include "framework/win/wide_text.h"
#include "tests/support/cp932_texts.h"
#include "tests/framework/win/dialog_template.h"
#include "tests/framework/win/test_dialog.h"

namespace quillbin::win::testing {
namespace {

namespace texts = quillbin::testing;

constexpr uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83;

struct ItemRow {
    int32_t id;
    uint16_t classAtom;  // 0: the class is msctls_updown32
    uint32_t style;
    int16_t x, y, cx, cy;
    std::string text;  // code page 932; "#129" for a resource ordinal
};

std::string TitleOf(const NameOrOrdinal& title) {
    return title.ordinal ? "#" + std::to_string(title.ordinal) : Cp932FromWide(title.name);
}

void ExpectItems(const DialogTemplate& t, const std::vector<ItemRow>& rows) {
    ASSERT_EQ(t.items.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const DialogItem& item = t.items[i];
        const ItemRow& row = rows[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + ", id " + std::to_string(row.id));
        EXPECT_EQ(item.id, row.id);
        if (row.classAtom) {
            EXPECT_EQ(item.windowClass.ordinal, row.classAtom);
        } else {
            // Stored in capitals by the resource compiler; class names are
            // compared without regard to case.
            EXPECT_EQ(::lstrcmpiW(item.windowClass.name.c_str(), L"msctls_updown32"), 0);
        }
        EXPECT_EQ(item.style, row.style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.x, row.x);
        EXPECT_EQ(item.y, row.y);
        EXPECT_EQ(item.cx, row.cx);
        EXPECT_EQ(item.cy, row.cy);
        if (row.text != "*") {
            EXPECT_EQ(TitleOf(item.title), row.text);
        }
    }
}

const std::vector<ItemRow> kMainDialogRows = {
    {1000, kEdit, 0x50810080, 81, 6, 239, 14, ""},
    {1007, kButton, 0x50010001, 254, 167, 68, 14, std::string(texts::kSendButtonText.cp932)},
    {1001, kEdit, 0x50810080, 44, 34, 40, 14, ""},
    {1003, 0, 0x500001B6, 82, 33, 10, 14, "Spin1"},
    {1004, kEdit, 0x50810080, 141, 34, 40, 14, ""},
    {1005, 0, 0x500001B6, 187, 36, 10, 14, "Spin2"},
    {1010, kEdit, 0x50810080, 238, 34, 40, 14, ""},
    {1011, 0, 0x500001B6, 279, 37, 10, 14, "Spin1"},
    {1002, kButton, 0x50010003, 9, 51, 188, 10, std::string(texts::kDontFragmentText.cp932)},
    {1009, kListBox, 0x50A15100, 4, 70, 318, 93, ""},
    {-1, kStatic, 0x50020000, 4, 9, 74, 8, std::string(texts::kHostLabelText.cp932)},
    {-1, kStatic, 0x50020000, 8, 37, 32, 8, std::string(texts::kCountLabelText.cp932)},
    {-1, kButton, 0x50000007, 4, 23, 318, 43, std::string(texts::kOptionsFrameText.cp932)},
    {-1, kStatic, 0x50020000, 95, 37, 45, 8, std::string(texts::kDataSizeLabelText.cp932)},
    {-1, kStatic, 0x50020000, 219, 37, 16, 8, "TTL :"},
    {1015, kStatic, 0x50020000, 4, 169, 145, 8, ""},
    {1017, kButton, 0x50010000, 217, 167, 32, 14, "About..."},
};

TEST(ResourcesTest, MainDialogTemplateMatchesItsTable) {
    std::optional<DialogTemplate> t = LoadDialogTemplate(102);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->style, 0x90C800C0u);
    EXPECT_EQ(t->exStyle, 0x00040000u);
    EXPECT_EQ(t->x, 0);
    EXPECT_EQ(t->y, 0);
    EXPECT_EQ(t->cx, 326);
    EXPECT_EQ(t->cy, 185);
    EXPECT_TRUE(t->menu.name.empty() && t->menu.ordinal == 0);
    EXPECT_TRUE(t->windowClass.name.empty() && t->windowClass.ordinal == 0);
    EXPECT_EQ(t->caption, L"ICMP Echo Quillbin");
    EXPECT_EQ(t->pointSize, 9);
    EXPECT_EQ(t->weight, 0);
    EXPECT_EQ(t->italic, 0);
    EXPECT_EQ(t->charset, 1);
    EXPECT_EQ(Cp932FromWide(t->typeface), texts::kDialogFontName.cp932);
    ExpectItems(*t, kMainDialogRows);
}

TEST(ResourcesTest, AboutTemplateMatchesItsTable) {
    std::optional<DialogTemplate> t = LoadDialogTemplate(100);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->style, 0x80C800C0u);
    EXPECT_EQ(t->exStyle, 0u);
    EXPECT_EQ(t->cx, 182);
    EXPECT_EQ(t->cy, 79);
    EXPECT_FALSE(t->caption.empty());
    EXPECT_EQ(t->pointSize, 9);
    EXPECT_EQ(Cp932FromWide(t->typeface), texts::kDialogFontName.cp932);
    ExpectItems(*t, {
                        {-1, kStatic, 0x50020080, 142, 4, 22, 8, "v1.0"},
                        {-1, kStatic, 0x50020000, 44, 17, 119, 8, "*"},
                        {1, kButton, 0x50030001, 128, 61, 50, 14, "OK"},
                        {-1, kStatic, 0x5000000E, 4, 4, 37, 71, "#129"},
                        {1013, kStatic, 0x50020100, 50, 27, 101, 8, "*"},
                        {-1, kStatic, 0x50020000, 44, 39, 119, 8, "*"},
                        {1012, kStatic, 0x50020100, 50, 49, 101, 8, "*"},
                        {-1, kStatic, 0x5000080E, 44, 4, 94, 9, "#131"},
                    });
    // The links' text is the very address a click opens.
    for (size_t link : {4u, 6u}) {
        std::wstring address = t->items[link].title.name;
        EXPECT_EQ(address.rfind(L"https://", 0), 0u) << Utf8FromWide(address);
    }
}

struct CreatedControl {
    int id;
    std::wstring className;
    LONG style;
    HWND buddy;
    HWND window;
    bool hasImage;
};

std::vector<CreatedControl> CreateAndList(UINT templateId) {
    std::vector<CreatedControl> controls;
    CTestDialog dialog(templateId);
    dialog.action = [&](CTestDialog& d) {
        for (HWND child = ::GetWindow(d.GetSafeHwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            CreatedControl c{::GetDlgCtrlID(child), name, ::GetWindowLongW(child, GWL_STYLE), nullptr, child, false};
            if (c.className == L"msctls_updown32")
                c.buddy = reinterpret_cast<HWND>(::SendMessageW(child, UDM_GETBUDDY, 0, 0));
            if (c.className == L"Static") c.hasImage = ::SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
            controls.push_back(c);
        }
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    return controls;
}

TEST(ResourcesTest, MainDialogCreatesItsSeventeenControls) {
    std::vector<CreatedControl> controls = CreateAndList(102);
    ASSERT_EQ(controls.size(), kMainDialogRows.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ItemRow& row = kMainDialogRows[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(controls[i].id, row.id);
        const wchar_t* expected = row.classAtom == kEdit      ? L"Edit"
                                  : row.classAtom == kButton  ? L"Button"
                                  : row.classAtom == kStatic  ? L"Static"
                                  : row.classAtom == kListBox ? L"ListBox"
                                                              : L"msctls_updown32";
        EXPECT_EQ(::lstrcmpiW(controls[i].className.c_str(), expected), 0) << Utf8FromWide(controls[i].className);
        // The dialog manager may add bits of its own; those of the table stay.
        EXPECT_EQ(static_cast<uint32_t>(controls[i].style) & row.style & ~static_cast<uint32_t>(WS_BORDER),
                  row.style & ~static_cast<uint32_t>(WS_BORDER));
        if (!row.classAtom) {
            // Each spin's buddy is the field just before it.
            EXPECT_EQ(controls[i].buddy, controls[i - 1].window);
        }
    }
}

TEST(ResourcesTest, AboutBoxShowsBothPictures) {
    std::vector<CreatedControl> controls = CreateAndList(100);
    ASSERT_EQ(controls.size(), 8u);
    EXPECT_TRUE(controls[3].hasImage);
    EXPECT_TRUE(controls[7].hasImage);
}

TEST(ResourcesTest, StringsReadBackAsTheirCodePage932Bytes) {
    EXPECT_EQ(LoadCp932String(101), texts::kAboutMenuText.cp932);
    EXPECT_EQ(LoadCp932String(103), texts::kCopyResultsMenuText.cp932);
    EXPECT_EQ(LoadCp932String(61714), texts::kRangeUnsignedText.cp932);
    EXPECT_EQ(LoadCp932String(61719), texts::kParseUnsignedText.cp932);
    EXPECT_EQ(LoadCp932String(57344), "");  // no title string: named after the executable
}

#pragma pack(push, 2)
struct IconDirEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

std::vector<std::pair<int, int>> IconImages(unsigned id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (!found) return {};
    auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    WORD count = *reinterpret_cast<const WORD*>(data + 4);
    std::vector<std::pair<int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const IconDirEntry*>(data + 6 + i * sizeof(IconDirEntry));
        images.emplace_back(entry->width ? entry->width : 256, entry->bitCount);
    }
    return images;
}

TEST(ResourcesTest, IconsHoldTheirSizesAndDepths) {
    using Images = std::vector<std::pair<int, int>>;
    EXPECT_EQ(IconImages(128), (Images{{32, 8}, {32, 32}, {16, 8}, {16, 32}}));
    EXPECT_EQ(IconImages(130), (Images{{16, 8}, {16, 32}}));
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    for (auto [id, size] : {std::pair{128, 32}, std::pair{128, 16}, std::pair{130, 16}}) {
        HANDLE icon = ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << id << " at " << size;
        if (icon) ::DestroyIcon(static_cast<HICON>(icon));
    }
}

TEST(ResourcesTest, BitmapsHoldTheirSizesAndDepths) {
    struct Case {
        unsigned id;
        LONG width, height;
        WORD bits;
    } cases[] = {{129, 64, 64, 24}, {131, 165, 14, 8}};
    HMODULE module = ::GetModuleHandleW(nullptr);
    for (const Case& c : cases) {
        HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(c.id), MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr) << c.id;
        auto* info = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(module, found)));
        EXPECT_EQ(info->biWidth, c.width) << c.id;
        EXPECT_EQ(info->biHeight, c.height) << c.id;
        EXPECT_EQ(info->biBitCount, c.bits) << c.id;
    }
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"";
    return std::wstring(value, length ? length - 1 : 0);
}

TEST(ResourcesTest, VersionBlock) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD size = ::GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    WORD* translation = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    EXPECT_EQ(VersionString(block, L"FileDescription"), L"ICMP Echo Quillbin");
    EXPECT_EQ(VersionString(block, L"ProductName"), L"ICMP Echo Quillbin");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"1, 0, 0, 1");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1, 0, 0, 1");
}

TEST(ResourcesTest, ManifestAsksForCommonControlsSixAndItIsLoaded) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                         ::SizeofResource(module, found));
    for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "<dpiAware", "<dpiAwareness"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }

    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    // The library came from the side-by-side store of version 6, not from the
    // system folder (Wine's DllGetVersion says 5 for both, so the path tells).
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(::towlower(c));
    EXPECT_NE(lower.find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << Utf8FromWide(path);
}

}  // namespace
}  // namespace quillbin::win::testing
