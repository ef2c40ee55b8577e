#pragma once
#include <windows.h>

#include "toolkit/handles.h"

namespace toolkit {

// A picture of this module stored as RCDATA in the resource language (PNG,
// or whatever else the system's imaging codecs read), as a bitmap of exactly
// `size` pixels: made smoothly smaller or larger from its stored size, never
// by dropping or repeating pixels; none when it cannot be read.
GdiObject<HBITMAP> loadPicture(int resourceId, SIZE size);
// Draws the whole bitmap into the rectangle, stretched to fill it, or at
// its own size in the top-left corner.
void drawBitmap(HDC dc, HBITMAP bitmap, const RECT& into);
void drawBitmap(HDC dc, HBITMAP bitmap);

}  // namespace toolkit
