// The registered window message "sakura" that the ghost host broadcasts when
// its directory changes. Its number is the program's one global: it is fixed
// for the life of the process and every window procedure needs it.
#pragma once

#include <windows.h>

namespace quillbin::win {

// The name the message is registered under, by the hosts and by us.
inline constexpr char kSakuraMessageName[] = "sakura";
// wParam of a "sakura" message that asks for a refresh of the ghost list.
inline constexpr WPARAM kSakuraRefresh = 1024;

// 0 until RegisterSakuraMessage has run.
extern UINT g_sakuraMessage;

// Registers "sakura" (the same number in every process of the session) and
// keeps it in g_sakuraMessage; returns it.
UINT RegisterSakuraMessage();

}  // namespace quillbin::win
