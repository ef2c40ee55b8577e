#pragma once
#include <windows.h>

#include <string>

#include "common/twips.h"
#include "toolkit/handles.h"

namespace toolkit {

int screenDpi();
// Answers WM_DPICHANGED: the window takes the rectangle Windows proposes, and
// the new DPI is returned for its content to be laid out again.
int takeDpiChange(HWND window, WPARAM wParam, LPARAM lParam);
// The primary monitor's work area: the screen less the taskbar, wherever it is.
RECT primaryWorkArea();

// A child control, placed in twips. Its text is the string table's `textId`
// where it has one.
struct ControlSpec {
    const wchar_t* className = nullptr;
    const wchar_t* text = L"";
    DWORD style = 0;
    caldrift::TwipRect place{};
    int id = 0;
    UINT textId = 0;
};
HWND createControl(HWND parent, const ControlSpec& control, int dpi);
// Puts a control back at its place in twips, at another DPI.
void placeControl(HWND control, const caldrift::TwipRect& place, int dpi);

void centreOnScreen(HWND window);
void moveWindow(HWND window, caldrift::Point to);

struct FontSpec {
    const wchar_t* face = nullptr;
    double points = 8.25;
    bool bold = false;
    bool italic = false;
};
GdiObject<HFONT> createFont(const FontSpec& design, int dpi);
bool fontInstalled(const wchar_t* face);
void setFont(HWND control, const GdiObject<HFONT>& font);
// The font at its designed size, or smaller where a substitute face would not
// fit `widestText` (the label's own text when none) into the label; set on the
// label and then kept in `font`, so that the label never holds a deleted font.
void setFittingFont(HWND label, const FontSpec& design, int dpi, GdiObject<HFONT>& font,
                    const wchar_t* widestText = nullptr);
// Makes a label exactly as large as its one line of text in its font.
void sizeToText(HWND label);

// A tooltip window of `owner`, and a tip shown over one of its controls.
HWND createTooltip(HWND owner);
void addTooltip(HWND tooltip, HWND control, const std::wstring& text);

// A picture of this module stored as RCDATA in the resource language (PNG,
// or whatever else the system's imaging codecs read), as a bitmap of exactly
// `size` pixels: made smoothly smaller or larger from its stored size, never
// by dropping or repeating pixels; none when it cannot be read.
GdiObject<HBITMAP> loadPicture(int resourceId, SIZE size);
// An icon of this module at the system's small or large icon size, picked
// from the sizes it has (LoadIconMetric where the system has it).
IconHandle loadProgramIcon(int resourceId, bool small);
// The size of a window's client area in pixels.
SIZE clientSize(HWND window);
// Draws the whole bitmap into the rectangle, stretched to fill it, or at
// its own size in the top-left corner.
void drawBitmap(HDC dc, HBITMAP bitmap, const RECT& into);
void drawBitmap(HDC dc, HBITMAP bitmap);

std::wstring windowText(HWND window);

// From here on the loader looks for DLLs in System32 only, never beside the program.
void loadLibrariesFromSystemOnly();
// A function of a DLL loaded from System32 and kept for the program's life;
// none when the system lacks it.
void* systemFunction(const wchar_t* dll, const char* name);
// A window timer that Windows may fire up to 100 ms late, together with other
// work, where it can (SetCoalescableTimer, Windows 8 on); a plain one elsewhere.
void setCoalescableTimer(HWND window, UINT_PTR id, UINT milliseconds);
// Draws a control in the classic look (no visual style), where themes exist.
void useClassicLook(HWND control);

}  // namespace toolkit
