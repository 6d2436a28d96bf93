#include "sstp/win/sakura_message.h"

namespace quillbin::win {

UINT g_sakuraMessage = 0;

UINT RegisterSakuraMessage() {
    g_sakuraMessage = ::RegisterWindowMessageA(kSakuraMessageName);
    return g_sakuraMessage;
}

}  // namespace quillbin::win
