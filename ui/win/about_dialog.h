// The About box: the version, the credits, two pictures and two web
// addresses that open in the browser when clicked.
#pragma once

#include <windows.h>

#include "framework/win/controls.h"
#include "framework/win/dialog.h"
#include "framework/win/unique_handle.h"

namespace quillbin::win {

class CAboutDialog : public CDialog {
public:
    CAboutDialog();

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(bool save) override;
    BOOL OnInitDialog() override;

    // Declared first, so it goes last: the labels that use it are gone by
    // then. One font per opening of the box.
    UniqueFont m_linkFont;
    // The shared system cursor; never destroyed.
    HCURSOR m_hHandCursor;
    CStatic m_makerLink;
    CStatic m_iconAuthorLink;

private:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnDestroy();
    void OnClickMakerLink();
    void OnClickIconAuthorLink();
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);

    bool IsLink(HWND window) const;
    void OpenLink(const CStatic& link);
};

}  // namespace quillbin::win
