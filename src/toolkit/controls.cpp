#include "toolkit/controls.h"

#include <commctrl.h>

#include "toolkit/system_functions.h"
#include "toolkit/text.h"

namespace toolkit {

using caldrift::PixelRect;

void placeControl(HWND control, const caldrift::TwipRect& place, int dpi) {
    PixelRect r = toPixels(place, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createControl(HWND parent, const ControlSpec& control, int dpi) {
    PixelRect r = toPixels(control.place, dpi);
    std::wstring text = control.textId ? words(control.textId) : std::wstring();
    return CreateWindowExW(0, control.className, text.c_str(),
                           WS_CHILD | WS_VISIBLE | control.style, r.left, r.top, r.width, r.height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                           GetModuleHandleW(nullptr), nullptr);
}

HWND createTooltip(HWND owner) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void addTooltip(HWND tooltip, HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void useClassicLook(HWND control) {
    if (auto setTheme = late::SetWindowTheme()) setTheme(control, L"", L"");
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1));
    return text;
}

}  // namespace toolkit
