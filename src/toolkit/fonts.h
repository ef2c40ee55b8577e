#pragma once
#include <windows.h>

#include "toolkit/handles.h"

namespace toolkit {

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

}  // namespace toolkit
