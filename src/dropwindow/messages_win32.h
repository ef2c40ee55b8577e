#pragma once
#include <windows.h>

namespace caldrift {

// The program's own window messages.
enum ProgramMessage : UINT {
    kResumeRunLife = WM_APP + 1,  // the run life takes up what it recorded (see RunLife)
    kTrayCallback,                // the tray icon's notifications (see TrayIcon)
};

}  // namespace caldrift
