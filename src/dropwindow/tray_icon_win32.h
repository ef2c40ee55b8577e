#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace caldrift {

// The notification-area icon, in the shell's version-4 manner: its
// notifications reach the owner window as kCallbackMessage (see
// decodeTrayNotification), the keyboard reaches it as the mouse does.
class TrayIcon {
public:
    static constexpr UINT kId = 1;
    static constexpr UINT kCallbackMessage = WM_APP + 2;

    void add(HWND owner, HICON icon, const std::wstring& tip);
    void remove();
    // False while the shell was not ready for the icon (at logon).
    bool shown() const { return shown_; }

private:
    NOTIFYICONDATAW record_{};
    bool shown_ = false;
};

}  // namespace caldrift
