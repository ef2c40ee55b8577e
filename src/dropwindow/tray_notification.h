#pragma once
#include <cstdint>

namespace caldrift {

// What a notification of the tray icon asks of Caldrift: its menu, on a right
// click, Shift+F10 or the menu key (WM_CONTEXTMENU), a click, Enter or Space
// (NIN_SELECT, NIN_KEYSELECT); nothing on a mouse move, a balloon or a tip.
struct TrayNotification {
    bool openMenu = false;
    int x = 0, y = 0;  // where the menu goes: the pointer, or the icon when the keyboard chose
};

// In the shell's version-4 form: the event and the icon's id in the low and
// high words of lParam, the anchor point in those of wParam.
TrayNotification decodeTrayNotification(std::uintptr_t wParam, std::uintptr_t lParam,
                                        unsigned iconId);

}  // namespace caldrift
