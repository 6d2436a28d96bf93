// The static message table of a window class: one row per message or
// command, searched from the most derived class's table to its bases', the
// first matching row handling the message. A class defines its table inside
// its GetMessageMap override:
//
//   const MessageMap* CMyDialog::GetMessageMap() const {
//       static constexpr MessageEntry entries[] = {
//           msg::Registered<&CMyDialog::OnSakura>(g_sakuraMessage),
//           msg::Command<&CMyDialog::OnSend>(1007, BN_CLICKED),
//           msg::Timer<&CMyDialog::OnTimer>(),
//       };
//       static constexpr MessageMap map{&CDialog::kMessageMap, entries};
//       return &map;
//   }
//
// A registered message row holds the message number's address: the number
// is only known once the message has been registered at run time.
#pragma once

#include <windows.h>

#include <span>
#include <type_traits>

namespace quillbin::win {

class CWnd;

struct MessageContext {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Calls a row's handler; a handler that returns a value sets `result`.
using MessageThunk = void (*)(CWnd& window, const MessageContext& message, LRESULT& result);

inline constexpr UINT kAnyId = 0xFFFFFFFFu;
inline constexpr UINT kAnyCode = 0xFFFFFFFFu;

struct MessageEntry {
    UINT message = 0;
    UINT lastMessage = 0;              // the last of a family of messages
    const UINT* registered = nullptr;  // a message number registered at run time
    UINT id = kAnyId;                  // WM_COMMAND, WM_NOTIFY: control or command id
    UINT code = kAnyCode;              // WM_COMMAND, WM_NOTIFY: notification code
    MessageThunk thunk = nullptr;

    bool Matches(const MessageContext& m) const;
};

struct MessageMap {
    const MessageMap* base = nullptr;
    std::span<const MessageEntry> entries;

    // The first matching row of this table or of its bases; nullptr if none.
    const MessageEntry* Find(const MessageContext& m) const;
};

namespace detail {

template <typename C, typename R, typename... A>
C* ClassOf(R (C::*)(A...));

template <auto Method>
using HandlerClass = std::remove_pointer_t<decltype(ClassOf(Method))>;

template <auto Method>
HandlerClass<Method>& Self(CWnd& window) {
    return static_cast<HandlerClass<Method>&>(window);
}

template <auto Method>
void NoArguments(CWnd& w, const MessageContext&, LRESULT&) {
    (Self<Method>(w).*Method)();
}
template <auto Method>
void Generic(CWnd& w, const MessageContext& m, LRESULT& result) {
    result = (Self<Method>(w).*Method)(m.wParam, m.lParam);
}
template <auto Method>
void TimerThunk(CWnd& w, const MessageContext& m, LRESULT&) {
    (Self<Method>(w).*Method)(static_cast<UINT_PTR>(m.wParam));
}
template <auto Method>
void SysCommandThunk(CWnd& w, const MessageContext& m, LRESULT&) {
    (Self<Method>(w).*Method)(static_cast<UINT>(m.wParam), m.lParam);
}
template <auto Method>
void QueryDragIconThunk(CWnd& w, const MessageContext&, LRESULT& result) {
    result = reinterpret_cast<LRESULT>((Self<Method>(w).*Method)());
}
template <auto Method>
void CtlColorThunk(CWnd& w, const MessageContext& m, LRESULT& result) {
    HBRUSH brush = (Self<Method>(w).*Method)(reinterpret_cast<HDC>(m.wParam), reinterpret_cast<HWND>(m.lParam),
                                             m.message - WM_CTLCOLORMSGBOX);
    result = reinterpret_cast<LRESULT>(brush);
}
template <auto Method>
void SetCursorThunk(CWnd& w, const MessageContext& m, LRESULT& result) {
    result = (Self<Method>(w).*Method)(reinterpret_cast<HWND>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam));
}
template <auto Method>
void ContextMenuThunk(CWnd& w, const MessageContext& m, LRESULT&) {
    // Signed: on a second monitor left of the first the coordinates are negative.
    POINT screen{static_cast<short>(LOWORD(m.lParam)), static_cast<short>(HIWORD(m.lParam))};
    (Self<Method>(w).*Method)(reinterpret_cast<HWND>(m.wParam), screen);
}
template <auto Method>
void InitDialogThunk(CWnd& w, const MessageContext&, LRESULT& result) {
    result = (Self<Method>(w).*Method)();
}

}  // namespace detail

// Row makers, named after the messages; the handler signatures follow them.
namespace msg {

// void OnX(): a command or control notification.
template <auto Method>
constexpr MessageEntry Command(UINT id, UINT code = kAnyCode) {
    return {WM_COMMAND, WM_COMMAND, nullptr, id, code, &detail::NoArguments<Method>};
}
// LRESULT OnX(WPARAM, LPARAM): a message registered at run time.
template <auto Method>
constexpr MessageEntry Registered(const UINT& number) {
    return {0, 0, &number, kAnyId, kAnyCode, &detail::Generic<Method>};
}
// LRESULT OnX(WPARAM, LPARAM): any one message.
template <auto Method>
constexpr MessageEntry Message(UINT message) {
    return {message, message, nullptr, kAnyId, kAnyCode, &detail::Generic<Method>};
}
// void OnTimer(UINT_PTR id)
template <auto Method>
constexpr MessageEntry Timer() {
    return {WM_TIMER, WM_TIMER, nullptr, kAnyId, kAnyCode, &detail::TimerThunk<Method>};
}
// void OnSysCommand(UINT id, LPARAM lParam)
template <auto Method>
constexpr MessageEntry SysCommand() {
    return {WM_SYSCOMMAND, WM_SYSCOMMAND, nullptr, kAnyId, kAnyCode, &detail::SysCommandThunk<Method>};
}
// void OnPaint()
template <auto Method>
constexpr MessageEntry Paint() {
    return {WM_PAINT, WM_PAINT, nullptr, kAnyId, kAnyCode, &detail::NoArguments<Method>};
}
// void OnDestroy()
template <auto Method>
constexpr MessageEntry Destroy() {
    return {WM_DESTROY, WM_DESTROY, nullptr, kAnyId, kAnyCode, &detail::NoArguments<Method>};
}
// HCURSOR OnQueryDragIcon()
template <auto Method>
constexpr MessageEntry QueryDragIcon() {
    return {WM_QUERYDRAGICON, WM_QUERYDRAGICON, nullptr, kAnyId, kAnyCode, &detail::QueryDragIconThunk<Method>};
}
// HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind): the whole family of
// colour messages; `kind` is CTLCOLOR_MSGBOX (0) to CTLCOLOR_STATIC (6).
template <auto Method>
constexpr MessageEntry CtlColor() {
    return {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, nullptr, kAnyId, kAnyCode, &detail::CtlColorThunk<Method>};
}
// BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage)
template <auto Method>
constexpr MessageEntry SetCursor() {
    return {WM_SETCURSOR, WM_SETCURSOR, nullptr, kAnyId, kAnyCode, &detail::SetCursorThunk<Method>};
}
// void OnContextMenu(HWND window, POINT screen): `window` is the one clicked
// (a control passes its own up to its parent); `screen` is (-1, -1) when the
// menu was asked for from the keyboard.
template <auto Method>
constexpr MessageEntry ContextMenu() {
    return {WM_CONTEXTMENU, WM_CONTEXTMENU, nullptr, kAnyId, kAnyCode, &detail::ContextMenuThunk<Method>};
}
// BOOL OnInitDialog()
template <auto Method>
constexpr MessageEntry InitDialog() {
    return {WM_INITDIALOG, WM_INITDIALOG, nullptr, kAnyId, kAnyCode, &detail::InitDialogThunk<Method>};
}

}  // namespace msg

}  // namespace quillbin::win
