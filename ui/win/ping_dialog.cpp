#include "ui/win/ping_dialog.h"

#include <process.h>

#include "echo/echo_run.h"
#include "framework/win/resource_text.h"
#include "settings/win/settings_file.h"
#include "sstp/sstp_request.h"
#include "sstp/win/sakura_message.h"
#include "ui/dialog_ids.h"
#include "ui/icon_origin.h"
#include "ui/win/about_dialog.h"
#include "ui/win/wait_serving_messages.h"

namespace quillbin::win {

namespace {

HICON LoadModuleIcon(unsigned id) { return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)); }

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
      m_notifier(RegisterSakuraMessage()) {}

CPingDialog::~CPingDialog() {
    // Only reached with a run under way when the window went without the
    // closing steps; the run must not outlive the object it uses.
    if (m_echoThread) {
        m_stopRequested = true;
        FinishEchoThread();
    }
}

const MessageMap* CPingDialog::GetMessageMap() const {
    static constexpr MessageEntry entries[] = {
        msg::Registered<&CPingDialog::OnSakura>(g_sakuraMessage),
        msg::SysCommand<&CPingDialog::OnSysCommand>(),
        msg::Paint<&CPingDialog::OnPaint>(),
        msg::QueryDragIcon<&CPingDialog::OnQueryDragIcon>(),
        msg::Command<&CPingDialog::OnSend>(kSendButton, BN_CLICKED),
        msg::Command<&CPingDialog::OnAbout>(kAboutButton, BN_CLICKED),
        msg::Timer<&CPingDialog::OnTimer>(),
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
    DDV_MinMaxUInt(m_settings.count, 1, 999);
    DDX_Text(kSizeField, m_settings.dataSize);
    DDV_MinMaxUInt(m_settings.dataSize, 0, 1500);
    DDX_Check(kDontFragmentBox, m_settings.dontFragment);
    DDX_Text(kTtlField, m_settings.ttl);
    DDV_MinMaxUInt(m_settings.ttl, 1, 255);
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

    m_countSpin.SetRange(1, 999);
    m_sizeSpin.SetRange(0, 1500);
    m_ttlSpin.SetRange(1, 255);

    UpdateData(false);

    // The start-up event goes to the ghosts this first refresh lists.
    m_notifier.SetSenderWindow(m_hWnd);
    RefreshGhostList();
    ::SetTimer(m_hWnd, kRefreshTimer, kRefreshPeriodMs, nullptr);
    SendSstpNotify(kStartupEventBody);
    return TRUE;
}

BOOL CPingDialog::DestroyWindow() {
    if (m_echoThread) {
        m_stopRequested = true;
        FinishEchoThread();
    }
    SendSstpNotify(kClosingEventBody);
    // A field that fails shows its message; closing goes on with the members
    // as far as they were read.
    UpdateData(true);
    SaveSettings(m_settingsPath, m_settings);
    ::KillTimer(m_hWnd, kRefreshTimer);
    BOOL destroyed = CDialog::DestroyWindow();
    // A refresh put off behind a send must not be posted to a window that is gone.
    m_notifier.SetSenderWindow(nullptr);
    return destroyed;
}

int CPingDialog::RefreshGhostList() { return m_notifier.RefreshGhostList(); }

unsigned CPingDialog::SendSstpNotify(std::string_view body) { return m_notifier.SendSstpNotify(body); }

LRESULT CPingDialog::OnSakura(WPARAM wParam, LPARAM) {
    if (wParam == kSakuraRefresh) return RefreshGhostList();
    return 0;
}

void CPingDialog::OnSysCommand(UINT id, LPARAM) {
    if ((id & kSysCommandMask) == kAboutSysCommand) {
        RunAboutBox();
    } else {
        Default();
    }
}

void CPingDialog::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
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
    // The button is disabled during a run, but a press can still arrive as a
    // message from elsewhere; the run reads the settings this would change.
    if (m_echoRunning) return;
    if (!UpdateData(true)) return;
    FinishEchoThread();

    // A disabled button loses the focus, and with no control focused the
    // dialog manager ignores Enter and Esc: hand the focus to the host field.
    HWND sendButton = GetDlgItem(kSendButton);
    if (::GetFocus() == sendButton) Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(kHostField)), TRUE);
    // Disabled here, not only by the worker, so that a second press before
    // the worker gets going cannot start a second run beside this one.
    EnableSendButton(FALSE);
    m_stopRequested = false;
    m_echoPlatform = CreateEchoPlatform();
    m_echoRunning = true;
    uintptr_t thread = ::_beginthreadex(nullptr, 0, &CPingDialog::EchoThreadProc, this, 0, nullptr);
    m_echoThread.reset(reinterpret_cast<HANDLE>(thread));
    if (!m_echoThread) {
        m_echoRunning = false;
        m_echoPlatform.reset();
        EnableSendButton(TRUE);
    }
}

void CPingDialog::OnAbout() { RunAboutBox(); }

void CPingDialog::OnTimer(UINT_PTR id) {
    if (id == kRefreshTimer) {
        RefreshGhostList();
    } else {
        Default();
    }
}

unsigned __stdcall CPingDialog::EchoThreadProc(void* dialog) {
    static_cast<CPingDialog*>(dialog)->EchoWorker();
    return 0;
}

void CPingDialog::EchoWorker() {
    EnableSendButton(FALSE);
    EchoRun();
    m_echoRunning = false;
    EnableSendButton(TRUE);
}

void CPingDialog::EchoRun() { quillbin::EchoRun(m_settings, *m_echoPlatform); }

std::unique_ptr<EchoPlatform> CPingDialog::CreateEchoPlatform() {
    return std::make_unique<DialogEchoPlatform>(EchoTargets());
}

DialogEchoTargets CPingDialog::EchoTargets() {
    return DialogEchoTargets{&m_resultList, GetDlgItem(kStatusLine), &m_notifier, &m_stopRequested};
}

void CPingDialog::EnableSendButton(BOOL enable) {
    // By handle, not through a window object: this runs on the worker too.
    ::EnableWindow(::GetDlgItem(m_hWnd, kSendButton), enable);
}

void CPingDialog::FinishEchoThread() {
    if (m_echoThread) {
        WaitServingSentMessages(m_echoThread.get());
        m_echoThread.reset();
    }
    m_echoPlatform.reset();
}

}  // namespace quillbin::win
