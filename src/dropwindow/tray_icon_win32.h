#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "dropwindow/messages_win32.h"

namespace caldrift {

// The notification-area icon, in the shell's version-4 manner: its
// notifications reach the owner window as kTrayCallback (see
// decodeTrayNotification), the keyboard reaches it as the mouse does.
class TrayIcon {
public:
    static constexpr UINT kId = 1;

    void add(HWND owner, HICON icon, const std::wstring& tip);
    void remove();
    // False while the shell was not ready for the icon (at logon).
    bool shown() const { return shown_; }

private:
    NOTIFYICONDATAW record_{};
    bool shown_ = false;
};

}  // namespace caldrift
