#include "ui/win/dialog_echo_platform.h"

namespace quillbin::win {

DialogEchoPlatform::DialogEchoPlatform(const DialogEchoTargets& targets)
    : m_resultList(*targets.resultList), m_notifier(*targets.notifier) {
    m_statusLine.Attach(targets.statusLine);
}

EchoPlatform DialogEchoPlatform::Roles(const StopSignal& stop) {
    return EchoPlatform{.display = *this,
                        .icmp = m_bindings,
                        .resolver = m_bindings,
                        .clock = m_bindings,
                        .notifier = *this,
                        .diagnostics = m_bindings,
                        .stop = stop};
}

void DialogEchoPlatform::ClearResultList() { m_resultList.ResetContent(); }

void DialogEchoPlatform::AddResultLine(std::string_view line) { m_resultList.AddString(line); }

void DialogEchoPlatform::SetStatusText(std::string_view text) { m_statusLine.SetText(text); }

void DialogEchoPlatform::NotifyGhosts(std::string_view body) { m_notifier.SendSstpNotify(body); }

}  // namespace quillbin::win
