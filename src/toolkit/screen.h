#pragma once
#include <windows.h>

#include "common/twips.h"

namespace toolkit {

int screenDpi();
// Answers WM_DPICHANGED: the window takes the rectangle Windows proposes, and
// the new DPI is returned for its content to be laid out again.
int takeDpiChange(HWND window, WPARAM wParam, LPARAM lParam);
// The primary monitor's work area: the screen less the taskbar, wherever it is.
RECT primaryWorkArea();

void centreOnScreen(HWND window);
void moveWindow(HWND window, caldrift::Point to);
// The size of a window's client area in pixels.
SIZE clientSize(HWND window);

}  // namespace toolkit
