#include "support/poll.h"

#include <windows.h>

bool PollUntil(const std::function<bool()>& cond, int timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return cond();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}
