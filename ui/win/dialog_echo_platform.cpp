#include "ui/win/dialog_echo_platform.h"

namespace quillbin::win {

DialogEchoPlatform::DialogEchoPlatform(const DialogEchoTargets& targets)
    : m_resultList(*targets.resultList), m_notifier(*targets.notifier), m_stopRequested(*targets.stopRequested) {
    m_statusLine.Attach(targets.statusLine);
}

void DialogEchoPlatform::ClearResultList() { m_resultList.ResetContent(); }

void DialogEchoPlatform::AddResultLine(std::string_view line) { m_resultList.AddString(line); }

void DialogEchoPlatform::SetStatusText(std::string_view text) { m_statusLine.SetText(text); }

void DialogEchoPlatform::NotifyGhosts(std::string_view body) { m_notifier.SendSstpNotify(body); }

bool DialogEchoPlatform::StopRequested() { return m_stopRequested.load(); }

}  // namespace quillbin::win
