#include "dropwindow/drop_window_win32.h"

#include <commctrl.h>
#include <dbt.h>

#include "common/colours.h"
#include "common/language.h"
#include "dropwindow/placement.h"
#include "dropwindow/show_while_dragging.h"
#include "dropwindow/tray_notification.h"
#include "settings/settings_win32.h"
#include "text_ids.h"
#include "toolkit/bitmaps.h"
#include "toolkit/controls.h"
#include "toolkit/fonts.h"
#include "toolkit/pictures.h"
#include "toolkit/screen.h"
#include "toolkit/system_functions.h"
#include "toolkit/text.h"
#include "toolkit/timers.h"

namespace caldrift {

using namespace toolkit;

namespace {
constexpr int kClientWidthTwips = 4425;
constexpr int kClientHeightTwips = 4140;
constexpr ControlSpec kLabel1{L"STATIC", SS_CENTER | SS_NOTIFY, {1920, 3120, 795, 915}, 1};
constexpr ControlSpec kLabel2{L"STATIC", SS_LEFTNOWORDWRAP, {120, 4275, 1065, 195}, 2};
constexpr int kPictureSizePx = 300;  // at 96 dpi

constexpr const wchar_t* kLabel2Text = L"PSP Version";  // until Setting.INI is read

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// A tool window has no taskbar button; the static edge is the thin border
// that stays once the title bar is gone.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_STATICEDGE;

// GetAsyncKeyState reads the physical buttons, whatever the user swapped.
bool primaryButton() {
    int key = primaryButtonKey(GetSystemMetrics(SM_SWAPBUTTON) != 0);
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

// The mouse buttons of a mouse message, as 1 = left, 2 = right, 4 = middle.
int buttonState(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
           ((keys & MK_MBUTTON) ? 4 : 0);
}
}  // namespace

MenuHandle createPopupMenu() {
    MenuHandle menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, kMenuSetting, words(IDS_MENU_SETTINGS).c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuUndo, words(IDS_MENU_UNDO).c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuCompress, words(IDS_MENU_COMPRESS).c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kMenuExit, words(IDS_MENU_EXIT).c_str());
    return menu;
}

DropWindow::DropWindow(Services services)
    : services_(std::move(services)),
      settings_(
          services_.settingsFolder, [this] { loadconf(); },
          [this](bool open) { open ? runLife_.boxOpened() : runLife_.boxClosed(); }),
      runLife_({services_.files, services_.shell, services_.messages,
                [this] { return scanner_.caption(); },
                [this] { PostMessageW(hwnd_, kResumeRunLife, 0, 0); },
                [this](bool copying) {
                    if (copying) pending_.show();
                    holdShutdown(copying);
                },
                [this] { hideForExit(); }, [this] { DestroyWindow(hwnd_); }},
               queue_, &services_.keeping, &services_.compression),
      dropTarget_(
          [this](std::vector<std::string> paths) { runLife_.dropArrived(std::move(paths)); }) {}

bool DropWindow::create() {
    dpi_ = screenDpi();
    loadPictures();
    if (!registerClass(kClassName, pictureBrush_.get(), programIcon(false), programIcon(true)) ||
        !createWindow(
            {kClassName, L"Caldrift", kStyle, kExStyle, kClientWidthTwips, kClientHeightTwips},
            dpi_))
        return false;
    createControls();
    matchWindowDpi(hwnd_, dpi_);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    dropTarget_.registerOn(hwnd_);
    setCoalescableTimer(hwnd_, Timer1, 1000);
    startUp();
    return true;
}

// The picture is the window's background, and shows through its labels.
void DropWindow::loadPictures() {
    int side = twipsToPixels(kPictureSizePx * 15, dpi_);
    picture_ = programPicture(Picture::Console, {side, side});
    pictureBrush_.reset(CreatePatternBrush(picture_.get()));
}

void DropWindow::createControls() {
    label1_ = createControl(hwnd_, kLabel1, dpi_);
    label2_ = createControl(hwnd_, kLabel2, dpi_);
    SetWindowTextW(label1_, widen(shownCaption_).c_str());
    SetWindowTextW(label2_, kLabel2Text);
    chiller_ = fontInstalled(L"Chiller");
    if (!chiller_)
        SetWindowLongPtrW(label1_, GWL_STYLE,
                          GetWindowLongPtrW(label1_, GWL_STYLE) | SS_CENTERIMAGE);
    setFonts();
    addTooltip(createTooltip(hwnd_), label1_, words(IDS_DRIVE_TIP));

    popup_ = createPopupMenu();
}

void DropWindow::setFonts() {
    setFittingFont(label1_, {chiller_ ? L"Chiller" : L"Tahoma", 39.75, true}, dpi_, label1Font_,
                   L"NO");
    setFittingFont(label2_, {L"MS Sans Serif", 8.25, true}, dpi_, label2Font_, kLabel2Text);
}

// Moved to a monitor of another scaling: the same window, drawn afresh at its DPI.
void DropWindow::onDpiChanged(WPARAM wParam, LPARAM lParam) {
    dpi_ = takeDpiChange(hwnd_, wParam, lParam);
    loadPictures();
    SetClassLongPtrW(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(pictureBrush_.get()));
    placeControl(label1_, kLabel1.place, dpi_);
    placeControl(label2_, kLabel2.place, dpi_);
    setFonts();
    placeBottomRight();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void DropWindow::addTrayIcon() { tray_.add(hwnd_, programIcon(true), words(IDS_TRAY_TIP)); }

void DropWindow::startUp() {
    loadconf();
    addTrayIcon();
    hideTitleBar();
    placeBottomRight();
}

void DropWindow::show() {
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void DropWindow::hideTitleBar() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    SetWindowTextW(hwnd_, L"");
    style &= ~(WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_CAPTION);
    SetWindowLongW(hwnd_, GWL_STYLE, style);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// In the work area's corner, placed again whenever the taskbar, the display
// or the scaling changes; the pending-transfers window goes with it.
void DropWindow::placeBottomRight() {
    RECT r, free = primaryWorkArea();
    GetWindowRect(hwnd_, &r);
    WorkArea area{free.left, free.top, free.right, free.bottom};
    moveWindow(hwnd_, dropWindowPosition(area, r.right - r.left, r.bottom - r.top, dpi_));
    pending_.place(area, r.bottom - r.top);
}

void DropWindow::startAutomaticDetection() {
    scanner_.refreshDrives(services_.driveProbe, true);
    scanner_.startAutomatic();
    scanner_.tick(services_.driveProbe);
    followDriveScanner();
}

void DropWindow::useFixedDrive(const std::optional<std::string>& drive) {
    scanner_.setFixed(drive.value_or(scanner_.caption()));
    followDriveScanner();
}

void DropWindow::showFirmwareLine(const std::string& line) {
    SetWindowTextW(label2_, widen(line).c_str());
}

void DropWindow::setOpacity(int opacity) { SetTransparency(hwnd_, opacity); }

void DropWindow::compressImages(bool always) {
    compressImages_ = always;
    runLife_.compressImages(always);
}

// Checked, every PSP disc image goes on compressed; kept in Setting.INI.
void DropWindow::toggleCompression() {
    compressImages(!compressImages_);
    if (saveFlag(services_.settingsFolder, Setting::Compress, compressImages_)) return;
    runLife_.boxOpened();
    services_.messages.show(notSavedText(services_.settingsFolder), say(IDS_ERROR), kMessageError);
    runLife_.boxClosed();
}

void DropWindow::loadconf() {
    caldrift::loadconf(readSettings(services_.settingsFolder), *this, services_.registry,
                       services_.program);
}

void DropWindow::followDriveScanner() {
    if (shownCaption_ != scanner_.caption()) {
        runLife_.stickGone();  // a run's stick is no longer the PSP drive
        shownCaption_ = scanner_.caption();
        SetWindowTextW(label1_, widen(shownCaption_).c_str());
    }
}

void DropWindow::onTimer(UINT_PTR id) {
    switch (id) {
    case Timer1:
        samplePrimaryButton();
        scanner_.tick(services_.driveProbe);  // PSP folders come and go unannounced
        followDriveScanner();
        if (!tray_.shown()) addTrayIcon();  // the shell may not have been ready for it
        break;
    case Timer2:
        show();
        KillTimer(hwnd_, Timer2);
        break;
    case MountRetry:
        if (!scanner_.retryMounting(services_.driveProbe)) KillTimer(hwnd_, MountRetry);
        followDriveScanner();
        break;
    }
}

// Volumes that come and go, as Windows announces them: a stick, or a card
// put into a reader (DBTF_MEDIA), names its letters in the unit mask.
void DropWindow::onDeviceChange(WPARAM event, LPARAM data) {
    auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    bool volume = (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE) && header &&
                  header->dbch_devicetype == DBT_DEVTYP_VOLUME;
    if (!volume) {
        if (event == DBT_DEVNODES_CHANGED) scanner_.refreshDrives(services_.driveProbe, true);
        return;
    }
    DWORD letters = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data)->dbcv_unitmask;
    if (event == DBT_DEVICEREMOVECOMPLETE)
        scanner_.volumesRemoved(services_.driveProbe, letters);
    else if (scanner_.volumesArrived(services_.driveProbe, letters))
        setCoalescableTimer(hwnd_, MountRetry, 500);
    followDriveScanner();
}

void DropWindow::samplePrimaryButton() {
    DragVisibilityStep step = sampleDragVisibility(primaryButton, IsWindowVisible(hwnd_) != FALSE);
    if (step.armShowTimer) setCoalescableTimer(hwnd_, Timer2, 500);
    if (step.hide) ShowWindow(hwnd_, SW_HIDE);
}

void DropWindow::onMouse(WPARAM buttons) {
    if (buttonState(buttons) != 2) return;
    POINT at;
    GetCursorPos(&at);
    openPopupMenu(at);
}

void DropWindow::onTrayNotification(WPARAM wParam, LPARAM lParam) {
    TrayNotification notification = decodeTrayNotification(wParam, lParam, TrayIcon::kId);
    if (notification.openMenu) openPopupMenu({notification.x, notification.y});
}

void DropWindow::openPopupMenu(POINT at) {
    SetForegroundWindow(hwnd_);  // so the menu closes when the user clicks elsewhere
    // Chosen with either button, opening to the side the user's Windows asks for.
    UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    EnableMenuItem(popup_.get(), kMenuUndo,
                   MF_BYCOMMAND | (runLife_.undoOffered() ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(popup_.get(), kMenuCompress,
                  MF_BYCOMMAND | (compressImages_ ? MF_CHECKED : MF_UNCHECKED));
    TrackPopupMenu(popup_.get(), align | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void DropWindow::onCommand(UINT id) {
    if (id == kMenuSetting) settings_.open(hwnd_);
    if (id == kMenuExit) runLife_.exitAsked();
    if (id == kMenuUndo) runLife_.undoAsked();
    if (id == kMenuCompress) toggleCompression();
}

// Chosen inside a dialog, Exit takes the icon and the windows away at once.
void DropWindow::hideForExit() {
    for (UINT_PTR timer : {Timer1, Timer2, MountRetry}) KillTimer(hwnd_, timer);
    tray_.remove();
    settings_.destroy();
    pending_.hide();
    ShowWindow(hwnd_, SW_HIDE);
}

void DropWindow::tearDown() {
    tray_.remove();
    settings_.destroy();
    pending_.destroy();
    dropTarget_.revoke();
    PostQuitMessage(0);
}

void DropWindow::resumeRunLife() {
    if (!pending_.hwnd()) placeBottomRight();  // makes it, should it have failed at start
    runLife_.resume();
}

// An installer that replaces the program asks it to close (the Restart
// Manager's ENDSESSION_CLOSEAPP): it ends as Exit ends it, unless it copies,
// when it answers as for a log-off.
void DropWindow::onEndSession(bool ending, LPARAM reason) {
    if (!ending) return;
    if ((reason & ENDSESSION_CLOSEAPP) && !runLife_.copying()) return runLife_.exitAsked();
    tray_.remove();
}

void DropWindow::holdShutdown(bool hold) {
    if (hold) {
        if (auto create = late::ShutdownBlockReasonCreate())
            create(hwnd_, words(IDS_COPYING_TO_PSP).c_str());
    } else if (auto destroy = late::ShutdownBlockReasonDestroy()) {
        destroy(hwnd_);
    }
}

void DropWindow::paint() {
    PaintDc dc(hwnd_);
    drawBitmap(dc.get(), picture_.get());
}

// Labels are real static controls; the picture shows through them.
LRESULT DropWindow::colorStatic(HDC dc, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    SetBrushOrgEx(dc, -r.left, -r.top, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, control == label1_ ? kGreen : kBlack);
    return reinterpret_cast<LRESULT>(pictureBrush_.get());
}

LRESULT DropWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_PAINT: paint(); return 0;
    case WM_CTLCOLORSTATIC:
        return colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kTrayCallback: onTrayNotification(wParam, lParam); return 0;
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN: onMouse(wParam); return 0;
    case WM_COMMAND: onCommand(LOWORD(wParam)); return 0;
    case WM_DEVICECHANGE: onDeviceChange(wParam, lParam); return TRUE;
    case WM_DPICHANGED: onDpiChanged(wParam, lParam); return 0;
    case WM_DISPLAYCHANGE: placeBottomRight(); return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) placeBottomRight();
        return 0;
    case kResumeRunLife: resumeRunLife(); return 0;
    case WM_CLOSE: return 0;  // the window lives until Exit
    case WM_QUERYENDSESSION: return runLife_.copying() ? FALSE : TRUE;
    case WM_ENDSESSION: onEndSession(wParam != FALSE, lParam); return 0;
    case WM_DESTROY: tearDown(); return 0;
    default:
        if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
            addTrayIcon();
            return 0;
        }
        return defaultHandling(msg, wParam, lParam);
    }
}

}  // namespace caldrift
