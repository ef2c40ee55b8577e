#pragma once
#include <windows.h>

namespace caldrift {

// The program's own window messages.
enum ProgramMessage : UINT {
    kDropArrived = WM_APP + 1,  // a drop waits to be taken up (see DropWindow)
    kTrayCallback,              // the tray icon's notifications (see TrayIcon)
};

}  // namespace caldrift
