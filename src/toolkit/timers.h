#pragma once
#include <windows.h>

namespace toolkit {

// A window timer that Windows may fire up to 100 ms late, together with other
// work, where it can (SetCoalescableTimer, Windows 8 on); a plain one elsewhere.
void setCoalescableTimer(HWND window, UINT_PTR id, UINT milliseconds);

}  // namespace toolkit
