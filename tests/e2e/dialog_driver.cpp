#include "tests/e2e/dialog_driver.h"

#include "framework/win/wide_text.h"
#include "tests/e2e/quillbin_process.h"
#include "tests/e2e/window_access.h"
#include "tests/support/waiting.h"

namespace quillbin::win::e2e {

std::wstring DialogDriver::Text(int id) const { return WindowText(Item(id)); }

bool DialogDriver::Type(int id, std::wstring_view text) const { return SetWindowTextRemote(Item(id), text); }

bool DialogDriver::Fill(const Fields& fields) const {
    return Type(kHostField, fields.host) && Type(kCountField, fields.count) && Type(kSizeField, fields.size) &&
           Type(kTtlField, fields.ttl);
}

std::vector<std::wstring> DialogDriver::Lines() const { return ListBoxLines(Item(kResultList)); }

std::wstring DialogDriver::Status() const { return Text(kStatusLine); }

bool DialogDriver::SendEnabled() const { return ::IsWindowEnabled(Item(kSendButton)) != FALSE; }

void DialogDriver::PressSend() const { PostClick(Item(kSendButton)); }

bool DialogDriver::WaitIdle(DWORD timeoutMs) const {
    return WaitUntil([this] { return SendEnabled(); }, timeoutMs);
}

std::string DialogDriver::Describe() const {
    HWND focus = FocusOf(m_dialog);
    return "dialog: status \"" + Utf8FromWide(Status()) + "\", " + std::to_string(Lines().size()) +
           " list lines, send button " + (SendEnabled() ? "enabled" : "disabled") + ", focus on " +
           (focus ? "control " + std::to_string(::GetDlgCtrlID(focus)) : std::string("no window"));
}

}  // namespace quillbin::win::e2e
