#include "toolkit/screen.h"

#include "toolkit/handles.h"
#include "toolkit/system_functions.h"

namespace toolkit {

int screenDpi() {
    WindowDc screen;
    int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

void matchWindowDpi(HWND window, int assumedDpi) {
    auto dpiFor = late::GetDpiForWindow();
    int dpi = dpiFor ? static_cast<int>(dpiFor(window)) : 0;
    if (dpi <= 0 || dpi == assumedDpi) return;
    RECT r;
    GetWindowRect(window, &r);
    RECT scaled{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, assumedDpi),
                r.top + MulDiv(r.bottom - r.top, dpi, assumedDpi)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&scaled));
}

int takeDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return HIWORD(wParam);
}

RECT primaryWorkArea() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void moveWindow(HWND window, caldrift::Point to) {
    SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

caldrift::Point centredOnScreen(SIZE outer) {
    return caldrift::centredWindowPosition(GetSystemMetrics(SM_CXSCREEN),
                                           GetSystemMetrics(SM_CYSCREEN), outer.cx, outer.cy);
}

void centreOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    moveWindow(window, centredOnScreen({r.right - r.left, r.bottom - r.top}));
}

SIZE clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace toolkit
