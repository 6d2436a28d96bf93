#include "ui/win/about_dialog.h"

#include <shellapi.h>

#include <string>

#include "ui/dialog_ids.h"

namespace quillbin::win {

namespace {

// Dark blue: red 0, green 0, blue 204.
constexpr COLORREF kLinkColour = RGB(0, 0, 0xCC);

}  // namespace

CAboutDialog::CAboutDialog() : CDialog(kAboutDialogTemplate, nullptr), m_hHandCursor(nullptr) {}

const MessageMap* CAboutDialog::GetMessageMap() const {
    static constexpr MessageEntry entries[] = {
        msg::CtlColor<&CAboutDialog::OnCtlColor>(),
        msg::Destroy<&CAboutDialog::OnDestroy>(),
        msg::Command<&CAboutDialog::OnClickMakerLink>(kMakerLink, STN_CLICKED),
        msg::Command<&CAboutDialog::OnClickIconAuthorLink>(kIconAuthorLink, STN_CLICKED),
        msg::SetCursor<&CAboutDialog::OnSetCursor>(),
    };
    static constexpr MessageMap map{&CDialog::kMessageMap, entries};
    return &map;
}

void CAboutDialog::DoDataExchange(bool save) {
    CDialog::DoDataExchange(save);
    DDX_Control(kMakerLink, m_makerLink);
    DDX_Control(kIconAuthorLink, m_iconAuthorLink);
}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hHandCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND

    // The wide description keeps the face name intact: the dialog's face is
    // Japanese, which the ANSI form would mangle under a Western code page.
    LOGFONTW description{};
    auto dialogFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    ::GetObjectW(dialogFont, sizeof(description), &description);
    description.lfUnderline = TRUE;
    m_linkFont.reset(::CreateFontIndirectW(&description));

    auto font = reinterpret_cast<WPARAM>(m_linkFont.get());
    m_makerLink.Send(WM_SETFONT, font, 0);
    m_iconAuthorLink.Send(WM_SETFONT, font, 0);
    return TRUE;
}

HBRUSH CAboutDialog::OnCtlColor(HDC dc, HWND control, UINT) {
    auto brush = reinterpret_cast<HBRUSH>(DefWindowProc());
    if (IsLink(control)) ::SetTextColor(dc, kLinkColour);
    return brush;
}

void CAboutDialog::OnDestroy() {
    // A picture control does not always free the bitmap it loaded from the
    // template (Wine's never does), so take each one back and free it here:
    // otherwise every opening of the box leaves two bitmaps behind.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        auto picture = reinterpret_cast<HGDIOBJ>(::SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (picture) ::DeleteObject(picture);
    }
    SetMsgHandled(false);
}

void CAboutDialog::OnClickMakerLink() { OpenLink(m_makerLink); }

void CAboutDialog::OnClickIconAuthorLink() { OpenLink(m_iconAuthorLink); }

BOOL CAboutDialog::OnSetCursor(HWND window, UINT, UINT) {
    if (IsLink(window)) {
        if (m_hHandCursor) ::SetCursor(m_hHandCursor);
        return TRUE;
    }
    SetMsgHandled(false);
    return FALSE;
}

bool CAboutDialog::IsLink(HWND window) const {
    return window && (window == m_makerLink.GetSafeHwnd() || window == m_iconAuthorLink.GetSafeHwnd());
}

void CAboutDialog::OpenLink(const CStatic& link) {
    // The label's text is the address. Handed over in UTF-16, so that an
    // address outside the ANSI code page arrives as written.
    int length = ::GetWindowTextLengthW(link.GetSafeHwnd());
    std::wstring address(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int copied = ::GetWindowTextW(link.GetSafeHwnd(), address.data(), static_cast<int>(address.size()));
    address.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    ::ShellExecuteW(m_hWnd, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quillbin::win
