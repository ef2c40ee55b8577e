#include "platform/window_win32.h"

#include <commctrl.h>
#include <ole2.h>
#include <olectl.h>

#include <cmath>

namespace caldrift {

int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                   const TwipRect& place, int dpi, int id) {
    PixelRect r = toPixels(place, dpi);
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.width, r.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

GdiObject<HFONT> createFont(const wchar_t* face, double points, bool bold, int dpi,
                            bool italic) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return GdiObject<HFONT>(CreateFontIndirectW(&lf));
}

GdiObject<HFONT> createFittingFont(HWND control, const wchar_t* face, double points, bool bold,
                                   int dpi, const wchar_t* widestText, bool italic) {
    RECT room;
    GetClientRect(control, &room);
    HDC dc = GetDC(control);
    GdiObject<HFONT> font = createFont(face, points, bold, dpi, italic);
    for (; points > 6; points -= 0.25, font = createFont(face, points, bold, dpi, italic)) {
        HGDIOBJ old = SelectObject(dc, font.get());
        SIZE size{};
        GetTextExtentPoint32W(dc, widestText, lstrlenW(widestText), &size);
        SelectObject(dc, old);
        if (size.cx <= room.right && size.cy <= room.bottom) break;
    }
    ReleaseDC(control, dc);
    return font;
}

namespace {
int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}
}  // namespace

bool fontInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &lf, noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
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

void sizeToText(HWND label) {
    std::wstring text = windowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

GdiObject<HBITMAP> loadEncodedPicture(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    if (!loaded || size == 0) return {};
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return {};
    CopyMemory(GlobalLock(copy), LockResource(loaded), size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return {};
    }
    IPicture* picture = nullptr;
    GdiObject<HBITMAP> bitmap;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        OLE_HANDLE handle = 0;
        short type = PICTYPE_NONE;
        if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(picture->get_Handle(&handle)))
            bitmap.reset(static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(
                static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        picture->Release();
    }
    stream->Release();
    return bitmap;
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)), L'\0');
    GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size() + 1));
    return text;
}

}  // namespace caldrift
