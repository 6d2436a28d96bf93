// The modal loop, the message table and the dialog's placement, observed
// from inside a running test dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "framework/win/win_app.h"
#include "tests/framework/win/test_dialog.h"

namespace quillbin::win::testing {
namespace {

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CTestDialog::s_testMessage = ::RegisterWindowMessageW(L"quillbin-framework-test"); }
};

// Posts a key press to the control that has the focus, as the keyboard would.
void PressKey(CTestDialog& dialog, UINT message, WPARAM key, LPARAM flags = 0) {
    HWND focus = ::GetFocus();
    if (!focus || !::IsChild(dialog.GetSafeHwnd(), focus)) focus = dialog.GetDlgItem(kTextField);
    ::PostMessageW(focus, message, key, flags | 1);
}

struct EndingCase {
    const char* how;
    std::function<void(CTestDialog&)> end;
};

void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.how; }

class DialogEndingTest : public DialogTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(DialogEndingTest, EndsWithCancelAndDestroysOnceWhileTheControlsExist) {
    CTestDialog dialog;
    dialog.action = GetParam().end;
    HWND window = nullptr;
    dialog.onInit = [&](CTestDialog& d) { window = d.GetSafeHwnd(); };

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.destroyCalls, 1);
    EXPECT_TRUE(dialog.controlsAliveAtDestroy);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.sendClicks, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ways, DialogEndingTest, ::testing::Values(
    EndingCase{"Esc", [](CTestDialog& d) { PressKey(d, WM_KEYDOWN, VK_ESCAPE); }},
    EndingCase{"close box", [](CTestDialog& d) { ::PostMessageW(d.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    EndingCase{"Alt+F4", [](CTestDialog& d) { PressKey(d, WM_SYSKEYDOWN, VK_F4, KF_ALTDOWN << 16); }},
    EndingCase{"WM_CLOSE", [](CTestDialog& d) { ::PostMessageW(d.GetSafeHwnd(), WM_CLOSE, 0, 0); }},
    EndingCase{"IDCANCEL", [](CTestDialog& d) { ::PostMessageW(d.GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0); }}));
// clang-format on

TEST_F(DialogTest, CloseBoxGoesThroughTheHandlerAndDefaultProcessing) {
    CTestDialog dialog;
    dialog.action = [](CTestDialog& d) { ::SendMessageW(d.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(dialog.sysCommands.size(), 1u);
    EXPECT_EQ(dialog.sysCommands[0], static_cast<UINT>(SC_CLOSE));
}

// Handled or not is said of each message: a message the handler sends and
// handles meanwhile keeps its own result, and the close box still gets its
// default processing after it.
TEST_F(DialogTest, AMessageSentFromAHandlerThatLeavesItsOwnToDefaultProcessingKeepsItsResult) {
    CTestDialog dialog;
    dialog.registeredResult = 0x1234;
    LRESULT nested = 0;
    dialog.duringSysCommand = [&](CTestDialog& d) {
        nested = ::SendMessageW(d.GetSafeHwnd(), CTestDialog::s_testMessage, 1, 0);
    };
    dialog.action = [](CTestDialog& d) { ::SendMessageW(d.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(nested, 0x1234);
    EXPECT_EQ(dialog.registeredCalls.size(), 1u);
    EXPECT_EQ(dialog.sysCommands, (std::vector<UINT>{SC_CLOSE}));
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonOnlyWhileItIsEnabled) {
    for (bool enabled : {true, false}) {
        CTestDialog dialog;
        dialog.action = [enabled](CTestDialog& d) {
            ::EnableWindow(d.GetDlgItem(kSendButton), enabled);
            PressKey(d, WM_KEYDOWN, VK_RETURN);
            PressKey(d, WM_KEYDOWN, VK_ESCAPE);
        };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.sendClicks, enabled ? 1 : 0) << "enabled " << enabled;
    }
}

TEST_F(DialogTest, TableDispatchesCommandsByIdAndCode) {
    CTestDialog dialog;
    dialog.action = [](CTestDialog& d) {
        HWND w = d.GetSafeHwnd();
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(kSendButton, BN_CLICKED), 0);
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(kSendButton, BN_SETFOCUS), 0);
        ::SendMessageW(w, WM_COMMAND, MAKEWPARAM(kOtherButton, BN_CLICKED), 0);
        ::SendMessageW(d.GetDlgItem(kSendButton), BM_CLICK, 0, 0);
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.sendClicks, 2);
}

TEST_F(DialogTest, RegisteredMessageReachesItsRowAndReturnsTheHandlersResult) {
    ASSERT_NE(CTestDialog::s_testMessage, 0u);
    CTestDialog dialog;
    dialog.registeredResult = 0x1234;
    LRESULT answered = 0;
    dialog.action = [&](CTestDialog& d) {
        answered = ::SendMessageW(d.GetSafeHwnd(), CTestDialog::s_testMessage, 1024, 77);
        ::SendMessageW(d.GetSafeHwnd(), CTestDialog::s_testMessage, 5, 0);
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(answered, 0x1234);
    ASSERT_EQ(dialog.registeredCalls.size(), 2u);
    EXPECT_EQ(dialog.registeredCalls[0], (std::pair<WPARAM, LPARAM>{1024, 77}));
    EXPECT_EQ(dialog.registeredCalls[1], (std::pair<WPARAM, LPARAM>{5, 0}));
}

TEST_F(DialogTest, TimersArriveWithTheirIds) {
    CTestDialog dialog;
    std::vector<UINT_PTR> ticks;
    dialog.action = [](CTestDialog& d) {
        ::SetTimer(d.GetSafeHwnd(), 7, 10, nullptr);
        ::SetTimer(d.GetSafeHwnd(), 8, 15, nullptr);
    };
    dialog.onTimer = [&](CTestDialog& d, UINT_PTR id) {
        ticks.push_back(id);
        if (std::count(ticks.begin(), ticks.end(), UINT_PTR{7}) == 3) d.EndDialog(55);
    };
    EXPECT_EQ(dialog.DoModal(), 55);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), UINT_PTR{7}), 3);
    for (UINT_PTR id : ticks) EXPECT_TRUE(id == 7 || id == 8);
}

TEST_F(DialogTest, ColourAndCursorRowsReturnTheirResultsThroughTheDialogManager) {
    CTestDialog dialog;
    LRESULT brush = 0, defaultBrush = 0, overLink = 0, elsewhere = 0;
    dialog.action = [&](CTestDialog& d) {
        HWND w = d.GetSafeHwnd();
        HWND label = d.GetDlgItem(kStatusLine);
        d.handCursorOver = label;
        HDC dc = ::GetDC(label);
        d.colourKinds.clear();  // the dialog's own painting asks too
        // The handler hands back what default processing gave, unchanged.
        brush = ::SendMessageW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
        defaultBrush =
            ::DefWindowProcW(w, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
        ::SendMessageW(w, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(d.GetDlgItem(kTextField)));
        ::ReleaseDC(label, dc);
        overLink = ::SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        elsewhere = ::SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_NE(brush, 0);
    EXPECT_EQ(brush, defaultBrush);
    EXPECT_EQ(dialog.colourKinds, (std::vector<UINT>{CTLCOLOR_STATIC, CTLCOLOR_EDIT}));
    EXPECT_EQ(overLink, TRUE);
    EXPECT_EQ(elsewhere, FALSE);  // default processing: the class cursor, not handled
    EXPECT_EQ(dialog.setCursorCalls, 2);
}

TEST_F(DialogTest, UnknownTemplateFailsWithoutDestroying) {
    CTestDialog dialog(4321);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.destroyCalls, 0);
}

TEST_F(DialogTest, EndDialogDuringInitialisationStillDestroysOnce) {
    CTestDialog dialog;
    dialog.onInit = [](CTestDialog& d) { d.EndDialog(77); };
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_EQ(dialog.destroyCalls, 1);
    EXPECT_TRUE(dialog.controlsAliveAtDestroy);
}

TEST_F(DialogTest, ASecondRunBindsTheControlsAfresh) {
    CTestDialog dialog;
    HWND firstList = nullptr;
    dialog.onInit = [&](CTestDialog& d) {
        EXPECT_EQ(d.list.GetSafeHwnd(), d.GetDlgItem(kList));
        EXPECT_EQ(d.spin.GetSafeHwnd(), d.GetDlgItem(kSpin));
        if (!firstList) firstList = d.list.GetSafeHwnd();
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(dialog.list.GetSafeHwnd(), nullptr);
    dialog.DoModal();
    EXPECT_EQ(dialog.destroyCalls, 2);
    EXPECT_NE(firstList, nullptr);
}

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

TEST_F(DialogTest, CentresOnTheScreenAndOverItsOwnerWhichItDisables) {
    CTestDialog outer;
    RECT outerRect{}, innerRect{};
    HWND innerOwner = nullptr;
    bool ownerEnabledWhileOpen = true, innerVisible = false, ownerEnabledAfter = false;
    outer.action = [&](CTestDialog& o) {
        outerRect = WindowRect(o.GetSafeHwnd());
        CTestDialog inner(kInnerTemplate, &o);
        inner.action = [&](CTestDialog& i) {
            innerRect = WindowRect(i.GetSafeHwnd());
            innerOwner = ::GetWindow(i.GetSafeHwnd(), GW_OWNER);
            ownerEnabledWhileOpen = ::IsWindowEnabled(o.GetSafeHwnd());
            innerVisible = ::IsWindowVisible(i.GetSafeHwnd());
            i.EndDialog(IDOK);
        };
        inner.DoModal();
        ownerEnabledAfter = ::IsWindowEnabled(o.GetSafeHwnd());
        o.EndDialog(IDCANCEL);
    };
    outer.DoModal();

    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    auto centre = [](LONG a, LONG b) { return (a + b) / 2; };
    EXPECT_LE(std::abs(centre(outerRect.left, outerRect.right) - centre(work.left, work.right)), 1);
    EXPECT_LE(std::abs(centre(outerRect.top, outerRect.bottom) - centre(work.top, work.bottom)), 1);
    EXPECT_LE(std::abs(centre(innerRect.left, innerRect.right) - centre(outerRect.left, outerRect.right)), 1);
    EXPECT_LE(std::abs(centre(innerRect.top, innerRect.bottom) - centre(outerRect.top, outerRect.bottom)), 1);
    EXPECT_NE(innerOwner, nullptr);
    EXPECT_FALSE(ownerEnabledWhileOpen);
    EXPECT_TRUE(innerVisible);
    EXPECT_TRUE(ownerEnabledAfter);
}

TEST_F(DialogTest, MainWindowRegistrationIsClearedWithTheWindow) {
    CWinApp app;
    ASSERT_EQ(CWinApp::Current(), &app);
    {
        CTestDialog dialog;
        app.m_pMainWnd = &dialog;
        dialog.action = [&](CTestDialog& d) {
            EXPECT_EQ(app.m_pMainWnd, &d);
            d.EndDialog(IDCANCEL);
        };
        dialog.DoModal();
        EXPECT_EQ(app.m_pMainWnd, nullptr);
    }
    {
        // A dialog whose window never came into being must not stay registered
        // once the object is gone.
        CTestDialog neverOpened(4321);
        app.m_pMainWnd = &neverOpened;
        EXPECT_EQ(neverOpened.DoModal(), -1);
    }
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

}  // namespace
}  // namespace quillbin::win::testing
