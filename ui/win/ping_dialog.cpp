#include "ui/win/ping_dialog.h"

#include <utility>

#include "echo/echo_run.h"
#include "framework/centring.h"
#include "framework/win/clipboard.h"
#include "framework/win/message_wait.h"
#include "framework/win/resource_text.h"
#include "framework/win/unique_handle.h"
#include "settings/win/settings_file.h"
#include "sstp/sstp_request.h"
#include "sstp/win/sakura_message.h"
#include "ui/dialog_ids.h"
#include "ui/win/about_dialog.h"

namespace quillbin::win {

namespace {

HICON LoadModuleIcon(unsigned id) { return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

// UDM_SETRANGE takes 16-bit limits; every field's range fits.
void SetSpinRange(const CSpinButtonCtrl& spin, FieldRange range) {
    spin.SetRange(static_cast<short>(range.minimum), static_cast<short>(range.maximum));
}
static_assert(kCountRange.maximum <= 0x7FFF && kDataSizeRange.maximum <= 0x7FFF && kTtlRange.maximum <= 0x7FFF);

void RunAboutBox() {
    CAboutDialog about;
    about.DoModal();
}

}  // namespace

CPingDialog::CPingDialog(CWnd* parent)
    : CDialog(kMainDialogTemplate, parent),
      m_hIcon(LoadModuleIcon(kLargeIcon)),
      m_hSmallIcon(LoadModuleIcon(kSmallIcon)),
      m_settingsPath(SettingsFilePath()),
      m_accelerators(::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kMainAccelerators))),
      m_notifier(RegisterSakuraMessage()),
      m_echoWorker(WaitForThreadServingSentMessages) {}

const MessageMap* CPingDialog::GetMessageMap() const {
    static constexpr MessageEntry entries[] = {
        msg::Registered<&CPingDialog::OnSakura>(g_sakuraMessage),
        msg::SysCommand<&CPingDialog::OnSysCommand>(),
        msg::Paint<&CPingDialog::OnPaint>(),
        msg::QueryDragIcon<&CPingDialog::OnQueryDragIcon>(),
        msg::Command<&CPingDialog::OnSend>(kSendButton, BN_CLICKED),
        msg::Command<&CPingDialog::OnAbout>(kAboutButton, BN_CLICKED),
        msg::Timer<&CPingDialog::OnTimer>(),
        msg::ContextMenu<&CPingDialog::OnContextMenu>(),
        msg::Command<&CPingDialog::OnCopyResults>(kCopyResultsCommand),
        msg::Message<&CPingDialog::OnQueryEndSession>(WM_QUERYENDSESSION),
        msg::Message<&CPingDialog::OnEndSession>(WM_ENDSESSION),
    };
    static constexpr MessageMap map{&CDialog::kMessageMap, entries};
    return &map;
}

void CPingDialog::DoDataExchange(bool save) {
    CDialog::DoDataExchange(save);
    DDX_Control(kTtlSpin, m_ttlSpin);
    DDX_Control(kResultList, m_resultList);
    DDX_Control(kCountSpin, m_countSpin);
    DDX_Control(kSizeSpin, m_sizeSpin);
    DDX_Text(kHostField, m_settings.host);
    DDX_Text(kCountField, m_settings.count);
    DDV_MinMaxUInt(m_settings.count, kCountRange.minimum, kCountRange.maximum);
    DDX_Text(kSizeField, m_settings.dataSize);
    DDV_MinMaxUInt(m_settings.dataSize, kDataSizeRange.minimum, kDataSizeRange.maximum);
    DDX_Check(kDontFragmentBox, m_settings.dontFragment);
    DDX_Text(kTtlField, m_settings.ttl);
    DDV_MinMaxUInt(m_settings.ttl, kTtlRange.minimum, kTtlRange.maximum);
}

BOOL CPingDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        std::wstring aboutText = LoadWideString(kAboutMenuText);
        if (!aboutText.empty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, kAboutSysCommand, aboutText.c_str());
        }
    }

    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    LoadSettings(m_settingsPath, m_settings);

    SetSpinRange(m_countSpin, kCountRange);
    SetSpinRange(m_sizeSpin, kDataSizeRange);
    SetSpinRange(m_ttlSpin, kTtlRange);

    UpdateData(false);

    // The start-up event goes to the ghosts this first refresh lists.
    m_notifier.SetSenderWindow(m_hWnd);
    RefreshGhostList();
    ::SetTimer(m_hWnd, kRefreshTimer, kRefreshPeriodMs, nullptr);
    SendSstpNotify(kStartupEventBody);
    return TRUE;
}

BOOL CPingDialog::DestroyWindow() {
    m_echoWorker.BeginClosing();
    // An echo or a lookup under way can take seconds more: the user sees the
    // window go now, and the steps below go on unseen.
    ::ShowWindow(m_hWnd, SW_HIDE);
    m_echoWorker.Wait();
    SendClosingEvent();
    // A field that fails shows its message; closing goes on with the members
    // as far as they were read.
    SaveSettingsOnClosing(false);
    ::KillTimer(m_hWnd, kRefreshTimer);
    BOOL destroyed = CDialog::DestroyWindow();
    // A refresh put off behind a send must not be posted to a window that is gone.
    m_notifier.SetSenderWindow(nullptr);
    return destroyed;
}

LRESULT CPingDialog::OnQueryEndSession(WPARAM, LPARAM) { return TRUE; }

// This can arrive inside any wait of this thread that serves sent messages:
// a close under way, a run starting, a send to the ghosts.
LRESULT CPingDialog::OnEndSession(WPARAM ending, LPARAM) {
    if (!ending) return 0;
    m_echoWorker.BeginClosing();
    m_echoWorker.Wait();
    // The settings first: waiting on a ghost that hangs can take the rest of
    // the process's life.
    SaveSettingsOnClosing(true);
    SendClosingEvent();
    return 0;
}

void CPingDialog::SendClosingEvent() {
    if (std::exchange(m_closingEventSent, true)) return;
    SendSstpNotify(kClosingEventBody);
}

void CPingDialog::SaveSettingsOnClosing(bool silently) {
    if (m_settingsSaved) return;
    if (silently) {
        SaveDataSilently();
    } else {
        UpdateData(true);
    }
    // The session may have ended, and saved, while a field's message showed.
    if (std::exchange(m_settingsSaved, true)) return;
    SaveSettings(m_settingsPath, m_settings);
}

int CPingDialog::RefreshGhostList() { return m_notifier.RefreshGhostList(); }

unsigned CPingDialog::SendSstpNotify(std::string_view body) { return m_notifier.SendSstpNotify(body); }

LRESULT CPingDialog::OnSakura(WPARAM wParam, LPARAM) {
    if (wParam == kSakuraRefresh) return RefreshGhostList();
    return 0;
}

void CPingDialog::OnSysCommand(UINT id, LPARAM) {
    if ((id & kSysCommandMask) == kAboutSysCommand) {
        if (!m_echoWorker.Closing()) RunAboutBox();
    } else {
        SetMsgHandled(false);
    }
}

void CPingDialog::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        SetMsgHandled(false);
        return;
    }
    PaintContext dc(m_hWnd);
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    IconOrigin at = CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                      ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc.get(), at.x, at.y, m_hIcon);
}

HCURSOR CPingDialog::OnQueryDragIcon() { return m_hIcon; }

void CPingDialog::OnSend() {
    // The button is disabled during a run and the window hidden during the
    // closing, but a press can still arrive as a message from elsewhere.
    if (m_echoWorker.Closing() || m_echoWorker.Running()) return;
    if (!UpdateData(true)) return;

    // A disabled button loses the focus, and with no control focused the
    // dialog manager ignores Enter and Esc: hand the focus to the host field.
    HWND sendButton = GetDlgItem(kSendButton);
    if (::GetFocus() == sendButton) Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(kHostField)), TRUE);
    // Disabled here, not only by the worker, so that a second press before
    // the worker gets going cannot start a second run beside this one.
    EnableSendButton(FALSE);
    // The run works on a copy of the settings: whatever reads the fields
    // back from now on cannot reach it.
    if (!m_echoWorker.Start(m_settings, CreateEchoBindings(), [this] { EchoWorker(); })) EnableSendButton(TRUE);
}

void CPingDialog::OnAbout() {
    if (!m_echoWorker.Closing()) RunAboutBox();
}

void CPingDialog::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer) {
        RefreshGhostList();
    } else {
        SetMsgHandled(false);
    }
}

BOOL CPingDialog::PreTranslateMessage(MSG* message) {
    // Only on the list: in the fields Ctrl+C stays the edit control's own copy.
    if (m_accelerators && message->hwnd && message->hwnd == m_resultList.GetSafeHwnd()) {
        return ::TranslateAcceleratorW(m_hWnd, m_accelerators, message) != 0;
    }
    return FALSE;
}

void CPingDialog::OnContextMenu(HWND window, POINT screen) {
    HWND list = m_resultList.GetSafeHwnd();
    if (!list || window != list) {
        SetMsgHandled(false);
        return;
    }
    if (screen.x == -1 && screen.y == -1) {
        // Asked for from the keyboard (Shift+F10, the menu key): at the list's corner.
        RECT area;
        ::GetWindowRect(list, &area);
        screen = {area.left, area.top};
    }
    UniqueMenu menu(::CreatePopupMenu());
    std::wstring text = LoadWideString(kCopyResultsMenuText);
    if (!menu || text.empty()) return;
    UINT state = m_resultList.GetCount() > 0 ? MF_ENABLED : MF_GRAYED;
    ::AppendMenuW(menu.get(), MF_STRING | state, kCopyResultsCommand, text.c_str());
    // The choice comes back as a WM_COMMAND through the message table, as Ctrl+C's does.
    ::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd,
                     nullptr);
}

void CPingDialog::OnCopyResults() {
    // On the window thread, which also carries out a run's additions to the
    // list: what is copied is exactly what was shown at that moment.
    int count = m_resultList.GetCount();
    if (count <= 0) return;
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += L"\r\n";
        text += m_resultList.GetWideText(i);
    }
    CStatic status;
    status.Attach(GetDlgItem(kStatusLine));
    std::wstring statusText = status.GetWideText();
    if (!statusText.empty()) text += L"\r\n" + statusText;
    if (!SetClipboardText(m_hWnd, text)) ::MessageBeep(MB_ICONWARNING);
}

void CPingDialog::EchoWorker() {
    EnableSendButton(FALSE);
    EchoRun();
    EnableSendButton(TRUE);
}

void CPingDialog::EchoRun() { quillbin::EchoRun(m_echoWorker.Settings(), m_echoWorker.Roles()); }

std::unique_ptr<EchoRunBindings> CPingDialog::CreateEchoBindings() {
    return std::make_unique<DialogEchoBindings>(EchoTargets());
}

DialogEchoTargets CPingDialog::EchoTargets() {
    return DialogEchoTargets{&m_resultList, GetDlgItem(kStatusLine), &m_notifier};
}

void CPingDialog::EnableSendButton(BOOL enable) {
    // By handle, not through a window object: this runs on the worker too.
    ::EnableWindow(::GetDlgItem(m_hWnd, kSendButton), enable);
}

}  // namespace quillbin::win
