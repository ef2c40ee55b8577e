#pragma once
#include <windows.h>

#include "common/twips.h"
#include "toolkit/handles.h"

namespace caldrift {

// The program's pictures; each is stored in three drawings (see common/pictures.h).
enum class Picture { Console, Logo, Mail, Web };

// A picture at exactly `size` pixels, shrunk from the drawing that suits that
// size, in the language of the program's texts where it carries words.
toolkit::GdiObject<HBITMAP> programPicture(Picture picture, SIZE size);
// The same, at the size of a place designed in twips, at a DPI.
toolkit::GdiObject<HBITMAP> programPicture(Picture picture, const TwipRect& place, int dpi);

// The program's icon at the system's small or large size, kept for the
// program's life: the window classes hold on to it.
HICON programIcon(bool small);

}  // namespace caldrift
