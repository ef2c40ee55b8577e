#include "dropwindow/tray_icon_win32.h"

#include <cstring>

namespace caldrift {

namespace {
// The first, 88-byte form of the record, understood by every shell.
constexpr DWORD kRecordSize = 88;
static_assert(sizeof(NOTIFYICONDATAA) >= kRecordSize);
}  // namespace

void TrayIcon::add(HWND owner, HICON icon) {
    record_ = {};
    record_.cbSize = kRecordSize;
    record_.hWnd = owner;
    record_.uID = kId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = kCallbackMessage;
    record_.hIcon = icon;
    std::strcpy(record_.szTip, "Tasto destro per le Impostazioni");
    // An add that timed out may still have put the icon up: then it can be modified.
    shown_ = Shell_NotifyIconA(NIM_ADD, &record_) || Shell_NotifyIconA(NIM_MODIFY, &record_);
}

void TrayIcon::remove() {
    if (record_.hWnd) Shell_NotifyIconA(NIM_DELETE, &record_);
    shown_ = false;
}

// A real mouse move never has the icon's id as its only button flag together
// with a mouse message's number as x (beyond the window) and y = 0.
bool TrayIcon::isNotification(WPARAM wParam, LPARAM lParam) {
    return wParam == kId && HIWORD(lParam) == 0 && LOWORD(lParam) >= WM_MOUSEFIRST &&
           LOWORD(lParam) <= WM_MOUSELAST;
}

}  // namespace caldrift
