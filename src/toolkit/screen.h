#pragma once
#include <windows.h>

#include "common/twips.h"

namespace toolkit {

// The system's DPI, fixed at sign-in.
int screenDpi();
// Lays a window made at assumedDpi out again, through its WM_DPICHANGED, when
// Windows has another DPI for it (GetDpiForWindow): the scaling changed since
// sign-in, or a laptop was docked.
void matchWindowDpi(HWND window, int assumedDpi);
// Answers WM_DPICHANGED: the window takes the rectangle Windows proposes, and
// the new DPI is returned for its content to be laid out again.
int takeDpiChange(HWND window, WPARAM wParam, LPARAM lParam);
// The primary monitor's work area: the screen less the taskbar, wherever it is.
RECT primaryWorkArea();

// Where a window of that outer size sits in the middle of the screen.
caldrift::Point centredOnScreen(SIZE outer);
void centreOnScreen(HWND window);
void moveWindow(HWND window, caldrift::Point to);
// The size of a window's client area in pixels.
SIZE clientSize(HWND window);

}  // namespace toolkit
