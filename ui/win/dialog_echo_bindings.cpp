#include "ui/win/dialog_echo_bindings.h"

namespace quillbin::win {

DialogEchoBindings::DialogEchoBindings(const DialogEchoTargets& targets)
    : m_resultList(*targets.resultList), m_notifier(*targets.notifier) {
    m_statusLine.Attach(targets.statusLine);
}

EchoRoles DialogEchoBindings::Roles(const StopSignal& stop) {
    return EchoRoles{.display = *this,
                     .icmp = m_bindings,
                     .resolver = m_bindings,
                     .clock = m_bindings,
                     .notifier = *this,
                     .diagnostics = m_bindings,
                     .stop = stop};
}

void DialogEchoBindings::ClearResultList() { m_resultList.ResetContent(); }

void DialogEchoBindings::AddResultLine(std::string_view line) { m_resultList.AddString(line); }

void DialogEchoBindings::SetStatusText(std::string_view text) { m_statusLine.SetText(text); }

void DialogEchoBindings::NotifyGhosts(std::string_view body) { m_notifier.SendSstpNotify(body); }

}  // namespace quillbin::win
