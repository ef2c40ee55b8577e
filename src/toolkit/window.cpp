#include "toolkit/window.h"

#include "common/twips.h"
#include "toolkit/failure.h"

namespace toolkit {

bool registerWindowClass(const WindowClass& windowClass) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowClass.procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.smallIcon;
    wc.lpszClassName = windowClass.name;
    if (RegisterClassExW(&wc) != 0) return true;
    DWORD error = GetLastError();
    if (error == ERROR_CLASS_ALREADY_EXISTS) return true;
    logFailure(L"RegisterClassExW", error);
    return false;
}

SIZE outerSize(const WindowSpec& window, int dpi) {
    RECT outer{0, 0, caldrift::twipsToPixels(window.clientWidthTwips, dpi),
               caldrift::twipsToPixels(window.clientHeightTwips, dpi)};
    AdjustWindowRectEx(&outer, window.style, FALSE, window.exStyle);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

}  // namespace toolkit
