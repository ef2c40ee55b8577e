#include "dropwindow/tray_icon_win32.h"

namespace caldrift {

void TrayIcon::add(HWND owner, HICON icon, const std::wstring& tip) {
    record_ = {};
    record_.cbSize = sizeof(record_);
    record_.hWnd = owner;
    record_.uID = kId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    record_.uCallbackMessage = kTrayCallback;
    record_.hIcon = icon;
    lstrcpynW(record_.szTip, tip.c_str(), ARRAYSIZE(record_.szTip));
    // An add that timed out may still have put the icon up: then it can be modified.
    shown_ = Shell_NotifyIconW(NIM_ADD, &record_) || Shell_NotifyIconW(NIM_MODIFY, &record_);
    record_.uVersion = NOTIFYICON_VERSION_4;
    if (shown_) Shell_NotifyIconW(NIM_SETVERSION, &record_);
}

void TrayIcon::remove() {
    if (record_.hWnd) Shell_NotifyIconW(NIM_DELETE, &record_);
    shown_ = false;
}

}  // namespace caldrift
