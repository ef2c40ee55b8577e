#pragma once
#include <windows.h>
#include <shellapi.h>

namespace caldrift {

// The notification-area icon. Its notifications reach the owner window as
// WM_MOUSEMOVE with the icon's id in wParam and the mouse message in lParam.
class TrayIcon {
public:
    static constexpr UINT kId = 1;
    static constexpr UINT kCallbackMessage = WM_MOUSEMOVE;

    void add(HWND owner, HICON icon);
    void remove();
    // False while the shell was not ready for the icon (at logon).
    bool shown() const { return shown_; }
    static bool isNotification(WPARAM wParam, LPARAM lParam);

private:
    NOTIFYICONDATAA record_{};
    bool shown_ = false;
};

}  // namespace caldrift
