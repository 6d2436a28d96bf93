#include "tests/ui/win/test_ping_dialog.h"

#include <string_view>

#include "ui/dialog_ids.h"

namespace quillbin::win::testing {

namespace {

constexpr UINT_PTR kStepTimer = 0x5151;
constexpr UINT_PTR kSafetyTimer = 0x5152;
constexpr UINT kStepMs = 20;
// A test whose script stalls ends here instead of hanging.
constexpr UINT kSafetyMs = 60000;
constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1, network order
constexpr DWORD kIpReqTimedOut = 11010;

class ScriptedEchoHandle : public IcmpEchoHandle {
public:
    explicit ScriptedEchoHandle(EchoScript& script) : m_script(script) {}

    EchoReply SendEcho(uint32_t destination, std::string_view payload, const EchoRequestOptions& options) override {
        ++m_script.echoesSent;
        ::Sleep(m_script.echoMs);
        EchoReply reply;
        if (!m_script.answered) {
            reply.lastError = kIpReqTimedOut;
            return reply;
        }
        m_echoed.assign(payload);
        reply.written = true;
        reply.address = destination;
        reply.roundTripTime = m_script.echoMs;
        reply.ttl = options.ttl;
        reply.dataSize = static_cast<uint16_t>(m_echoed.size());
        reply.data = std::string_view(m_echoed);
        return reply;
    }

private:
    EchoScript& m_script;
    std::string m_echoed;
};

class ScriptedIcmpLibrary : public IcmpLibrary {
public:
    explicit ScriptedIcmpLibrary(EchoScript& script) : m_script(script) {}
    std::unique_ptr<IcmpEchoHandle> CreateEchoHandle() override {
        return std::make_unique<ScriptedEchoHandle>(m_script);
    }

private:
    EchoScript& m_script;
};

// Every host is the loopback address, every echo follows the script.
class ScriptedNetwork : public IcmpBinder, public HostResolver {
public:
    explicit ScriptedNetwork(EchoScript& script) : m_script(script) {}

    IcmpBinding BindIcmp() override { return std::make_unique<ScriptedIcmpLibrary>(m_script); }
    uint32_t ParseDottedAddress(const std::string&) override { return kLoopback; }
    std::optional<HostEntry> LookupName(const std::string&) override { return HostEntry{"localhost", kLoopback}; }
    std::optional<HostEntry> LookupAddress(uint32_t) override { return HostEntry{"localhost", kLoopback}; }
    std::string DottedText(uint32_t) override { return "127.0.0.1"; }

private:
    EchoScript& m_script;
};

// The dialog's own platform, but for the ICMP library and the resolver.
class ScriptedEchoBindings : public DialogEchoBindings {
public:
    ScriptedEchoBindings(const DialogEchoTargets& targets, EchoScript& script)
        : DialogEchoBindings(targets), m_script(script), m_network(script) {
        ++m_script.liveBindings;
    }
    ~ScriptedEchoBindings() override { --m_script.liveBindings; }

    EchoRoles Roles(const StopSignal& stop) override {
        EchoRoles dialog = DialogEchoBindings::Roles(stop);
        return EchoRoles{.display = dialog.display,
                         .icmp = m_network,
                         .resolver = m_network,
                         .clock = dialog.clock,
                         .notifier = dialog.notifier,
                         .stop = stop};
    }

private:
    EchoScript& m_script;
    ScriptedNetwork m_network;
};

}  // namespace

TestPingDialog* TestPingDialog::s_running = nullptr;

TestPingDialog::TestPingDialog(std::wstring settingsPath, EchoScript& script) : m_script(script) {
    m_settingsPath = std::move(settingsPath);
}

TestPingDialog::~TestPingDialog() {
    if (s_running == this) s_running = nullptr;
}

void TestPingDialog::ClickSend() const {
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(kSendButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(kSendButton)));
}

void TestPingDialog::RequestClose() {
    closeRequestedAt = ::GetTickCount();
    ::PostMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
}

std::wstring TestPingDialog::ListLine(int index) const {
    LRESULT length = ::SendMessageW(Item(kResultList), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = ::SendMessageW(Item(kResultList), LB_GETTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(line.data()));
    line.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return line;
}

std::wstring TestPingDialog::ItemText(int id) const {
    wchar_t text[512] = {};
    ::GetWindowTextW(Item(id), text, 512);
    return text;
}

HWND TestPingDialog::ThreadWindowWith(int childId) {
    struct Search {
        int childId;
        HWND found = nullptr;
    } search{childId};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!::IsWindowVisible(window) || !::GetDlgItem(window, s->childId)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL TestPingDialog::OnInitDialog() {
    BOOL result = CPingDialog::OnInitDialog();
    s_running = this;
    ::SetTimer(m_hWnd, kStepTimer, kStepMs, &TestPingDialog::StepTimer);
    ::SetTimer(m_hWnd, kSafetyTimer, kSafetyMs, &TestPingDialog::SafetyTimer);
    return result;
}

std::unique_ptr<EchoRunBindings> TestPingDialog::CreateEchoBindings() {
    ++bindingsMade;
    sendEnabledAtBindings.push_back(::IsWindowEnabled(Item(kSendButton)) != FALSE);
    return std::make_unique<ScriptedEchoBindings>(EchoTargets(), m_script);
}

void CALLBACK TestPingDialog::StepTimer(HWND window, UINT, UINT_PTR, DWORD) {
    TestPingDialog* self = s_running;
    if (!self || self->GetSafeHwnd() != window) return;
    if (self->m_nextStep >= self->steps.size()) {
        ::KillTimer(window, kStepTimer);
        return;
    }
    if (self->steps[self->m_nextStep](*self)) ++self->m_nextStep;
}

void CALLBACK TestPingDialog::SafetyTimer(HWND window, UINT, UINT_PTR, DWORD) {
    ::KillTimer(window, kSafetyTimer);
    if (s_running && s_running->GetSafeHwnd() == window) s_running->RequestClose();
}

}  // namespace quillbin::win::testing
