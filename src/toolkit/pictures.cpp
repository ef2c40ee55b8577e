#include "toolkit/pictures.h"

#include <commctrl.h>

#include "common/pictures.h"
#include "resource_ids.h"
#include "toolkit/bitmaps.h"
#include "toolkit/system_functions.h"

namespace caldrift {

namespace {
struct StoredPicture {
    int firstId;  // of the 100 % drawing; the others follow it
    PixelSize at100;
};

StoredPicture stored(Picture picture) {
    switch (picture) {
    case Picture::Console: return {IDP_CONSOLE_100, {300, 300}};
    case Picture::Logo: return {IDP_LOGO_100, {160, 146}};
    case Picture::Mail: return {IDP_MAIL_100, {80, 46}};
    case Picture::Web: return {IDP_WEB_100, {80, 46}};
    }
    return {IDP_LOGO_100, {160, 146}};
}

// The icon at the system's small or large icon size, picked from the sizes it
// has (LoadIconMetric where the system has it).
toolkit::IconHandle loadProgramIcon(int resourceId, bool small) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    HICON icon = nullptr;
    auto loadIconMetric = toolkit::late::LoadIconMetric();
    if (loadIconMetric && SUCCEEDED(loadIconMetric(module, MAKEINTRESOURCEW(resourceId),
                                                   small ? LIM_SMALL : LIM_LARGE, &icon)))
        return toolkit::IconHandle(icon);
    int side = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    return toolkit::IconHandle(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, side, side, 0)));
}
}  // namespace

toolkit::GdiObject<HBITMAP> programPicture(Picture picture, SIZE size) {
    StoredPicture drawings = stored(picture);
    int drawing = drawingFor(drawings.at100, {size.cx, size.cy});
    return toolkit::loadPicture(drawings.firstId + drawing, size);
}

toolkit::GdiObject<HBITMAP> programPicture(Picture picture, const TwipRect& place, int dpi) {
    PixelRect shown = toPixels(place, dpi);
    return programPicture(picture, {shown.width, shown.height});
}

HICON programIcon(bool small) {
    static const toolkit::IconHandle icons[] = {loadProgramIcon(IDI_CALDRIFT, false),
                                                loadProgramIcon(IDI_CALDRIFT, true)};
    return icons[small ? 1 : 0].get();
}

}  // namespace caldrift
