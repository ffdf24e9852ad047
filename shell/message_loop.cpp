#include "shell/message_loop.h"

int RunMessageLoop(GetMessageFunction getMessage) {
    MSG message = {};
    for (;;) {
        const BOOL result = getMessage(&message, nullptr, 0, 0);
        if (result == 0) return static_cast<int>(message.wParam);
        if (result == -1) return kMessageLoopFailed;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
