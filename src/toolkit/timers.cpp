#include "toolkit/timers.h"

#include "toolkit/system_functions.h"

namespace toolkit {

void setCoalescableTimer(HWND window, UINT_PTR id, UINT milliseconds) {
    auto setWithTolerance = late::SetCoalescableTimer();
    if (!setWithTolerance || !setWithTolerance(window, id, milliseconds, nullptr, 100))
        SetTimer(window, id, milliseconds, nullptr);
}

}  // namespace toolkit
