#pragma once
#include <windows.h>

#include <string>

#include "common/twips.h"

namespace toolkit {

// A child control, placed in twips, with the words of the string table's
// `textId` (none: it starts empty).
struct ControlSpec {
    const wchar_t* className = nullptr;
    DWORD style = 0;
    caldrift::TwipRect place{};
    int id = 0;
    int textId = 0;
};
HWND createControl(HWND parent, const ControlSpec& control, int dpi);
// Puts a control back at its place in twips, at another DPI.
void placeControl(HWND control, const caldrift::TwipRect& place, int dpi);

// A tooltip window of `owner`, and a tip shown over one of its controls.
HWND createTooltip(HWND owner);
void addTooltip(HWND tooltip, HWND control, const std::wstring& text);

std::wstring windowText(HWND window);
// Draws a control in the classic look (no visual style), where themes exist.
void useClassicLook(HWND control);

}  // namespace toolkit
