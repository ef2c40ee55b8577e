#include "toolkit/fonts.h"

#include <cmath>
#include <string>
#include <utility>

#include "toolkit/controls.h"

namespace toolkit {

GdiObject<HFONT> createFont(const FontSpec& design, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(design.points * dpi / 72.0));
    lf.lfWeight = design.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = design.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, design.face, LF_FACESIZE);
    return GdiObject<HFONT>(CreateFontIndirectW(&lf));
}

namespace {
// The font at its designed size, or smaller where a substitute face would
// not fit the text into the control.
GdiObject<HFONT> createFittingFont(HWND control, FontSpec design, int dpi,
                                   const wchar_t* widestText) {
    RECT room;
    GetClientRect(control, &room);
    WindowDc dc(control);
    GdiObject<HFONT> font = createFont(design, dpi);
    for (; design.points > 6; design.points -= 0.25, font = createFont(design, dpi)) {
        SIZE size{};
        {
            SelectedObject selected(dc.get(), font.get());
            GetTextExtentPoint32W(dc.get(), widestText, lstrlenW(widestText), &size);
        }
        if (size.cx <= room.right && size.cy <= room.bottom) break;
    }
    return font;
}

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
    WindowDc screen;
    EnumFontFamiliesExW(screen.get(), &lf, noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

void setFont(HWND control, const GdiObject<HFONT>& font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
}

void setFittingFont(HWND label, const FontSpec& design, int dpi, GdiObject<HFONT>& font,
                    const wchar_t* widestText) {
    std::wstring ownText = widestText ? L"" : windowText(label);
    GdiObject<HFONT> fitted =
        createFittingFont(label, design, dpi, widestText ? widestText : ownText.c_str());
    setFont(label, fitted);
    font = std::move(fitted);
}

void sizeToText(HWND label) {
    std::wstring text = windowText(label);
    RECT r{0, 0, 0, 0};
    {
        WindowDc dc(label);
        SelectedObject font(dc.get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_SINGLELINE);
    }
    SetWindowPos(label, nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace toolkit
