// The About box's link font, colours and cursor, seen from inside the box,
// and its font's end once the box is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/dialog_ids.h"
#include "ui/win/about_dialog.h"

namespace quillbin::win {
namespace {

struct AboutObservations {
    HFONT linkFont = nullptr;
    HFONT fontOfMakerLink = nullptr;
    HFONT fontOfIconAuthorLink = nullptr;
    LOGFONTW dialogFont{};
    LOGFONTW link{};
    COLORREF makerLinkColour = 0;
    COLORREF iconAuthorLinkColour = 0;
    COLORREF versionTextColour = 0;
    HCURSOR cursorOverLink = nullptr;
    HCURSOR cursorOverOk = nullptr;
    LRESULT setCursorOverLink = 0;
};

// Looks at itself once it is set up, then presses OK.
class ProbedAboutDialog : public CAboutDialog {
public:
    explicit ProbedAboutDialog(bool look) : m_look(look) {}
    AboutObservations seen;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CAboutDialog::OnInitDialog();
        seen.linkFont = m_linkFont.get();
        if (m_look) Look();
        ::PostMessageW(m_hWnd, WM_COMMAND, IDOK, 0);
        return result;
    }

private:
    COLORREF TextColourFor(HWND control) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SetTextColor(dc, RGB(1, 2, 3));
        Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        COLORREF colour = ::GetTextColor(dc);
        ::DeleteDC(dc);
        return colour;
    }

    HCURSOR CursorOver(HWND control, LRESULT* handled = nullptr) {
        ::SetCursor(nullptr);
        LRESULT r = Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        if (handled) *handled = r;
        return ::GetCursor();
    }

    void Look() {
        HWND maker = GetDlgItem(kMakerLink);
        HWND author = GetDlgItem(kIconAuthorLink);
        seen.fontOfMakerLink = reinterpret_cast<HFONT>(::SendMessageW(maker, WM_GETFONT, 0, 0));
        seen.fontOfIconAuthorLink = reinterpret_cast<HFONT>(::SendMessageW(author, WM_GETFONT, 0, 0));
        ::GetObjectW(reinterpret_cast<HFONT>(Send(WM_GETFONT)), sizeof(LOGFONTW), &seen.dialogFont);
        ::GetObjectW(seen.linkFont, sizeof(LOGFONTW), &seen.link);
        seen.makerLinkColour = TextColourFor(maker);
        seen.iconAuthorLinkColour = TextColourFor(author);
        // The first control of the template: the version text.
        seen.versionTextColour = TextColourFor(::GetWindow(m_hWnd, GW_CHILD));
        seen.cursorOverLink = CursorOver(maker, &seen.setCursorOverLink);
        seen.cursorOverOk = CursorOver(GetDlgItem(IDOK));
    }

    bool m_look;
};

TEST(AboutDialogTest, LinksAreUnderlinedDarkBlueWithTheHandCursor) {
    ProbedAboutDialog about(true);
    EXPECT_EQ(about.DoModal(), IDOK);
    const AboutObservations& s = about.seen;

    ASSERT_NE(s.linkFont, nullptr);
    EXPECT_EQ(s.fontOfMakerLink, s.linkFont);
    EXPECT_EQ(s.fontOfIconAuthorLink, s.linkFont);
    // The dialog's own font, underlined.
    EXPECT_EQ(s.dialogFont.lfUnderline, 0);
    EXPECT_EQ(s.link.lfUnderline, 1);
    EXPECT_EQ(s.link.lfHeight, s.dialogFont.lfHeight);
    EXPECT_EQ(s.link.lfWeight, s.dialogFont.lfWeight);
    EXPECT_STREQ(s.link.lfFaceName, s.dialogFont.lfFaceName);
    EXPECT_STREQ(s.link.lfFaceName, L"ＭＳ Ｐゴシック");

    EXPECT_EQ(s.makerLinkColour, COLORREF{0x00CC0000});
    EXPECT_EQ(s.iconAuthorLinkColour, COLORREF{0x00CC0000});
    EXPECT_NE(s.versionTextColour, COLORREF{0x00CC0000});

    HCURSOR hand = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(s.setCursorOverLink, TRUE);
    EXPECT_EQ(s.cursorOverLink, hand);
    EXPECT_NE(s.cursorOverOk, hand);
}

TEST(AboutDialogTest, EveryOpeningDeletesItsOwnFont) {
    for (int opening = 0; opening < 100; ++opening) {
        HFONT font = nullptr;
        {
            ProbedAboutDialog about(false);
            ASSERT_EQ(about.DoModal(), IDOK) << "opening " << opening;
            font = about.seen.linkFont;
            ASSERT_NE(font, nullptr) << "opening " << opening;
            // Alive until the object goes, after its labels.
            ASSERT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "opening " << opening;
        }
        ASSERT_EQ(::GetObjectType(font), 0u) << "opening " << opening << " left its font behind";
    }
}

}  // namespace
}  // namespace quillbin::win
