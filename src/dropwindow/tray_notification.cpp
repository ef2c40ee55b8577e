#include "dropwindow/tray_notification.h"

namespace caldrift {

namespace {
constexpr unsigned kContextMenu = 0x007B;  // WM_CONTEXTMENU
constexpr unsigned kSelect = 0x0400;       // NIN_SELECT
constexpr unsigned kKeySelect = 0x0401;    // NIN_KEYSELECT

int signedWord(std::uintptr_t value) { return static_cast<std::int16_t>(value & 0xFFFF); }
}  // namespace

TrayNotification decodeTrayNotification(std::uintptr_t wParam, std::uintptr_t lParam,
                                        unsigned iconId) {
    unsigned event = lParam & 0xFFFF;
    bool ours = ((lParam >> 16) & 0xFFFF) == iconId;
    bool menu = event == kContextMenu || event == kSelect || event == kKeySelect;
    return {ours && menu, signedWord(wParam), signedWord(wParam >> 16)};
}

}  // namespace caldrift
