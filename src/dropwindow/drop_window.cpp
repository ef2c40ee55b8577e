#include "dropwindow/drop_window.h"

#include <commctrl.h>

#include "app/resource_ids.h"
#include "dropwindow/show_while_dragging.h"
#include "platform/text_win32.h"

namespace caldrift {

namespace {
constexpr int kClientWidthTwips = 4425;
constexpr int kClientHeightTwips = 4140;
constexpr TwipRect kLabel1{1920, 3120, 795, 915};
constexpr TwipRect kLabel2{120, 4275, 1065, 195};
constexpr COLORREF kGreen = 0x0000FF00;
constexpr COLORREF kBlack = 0x00000000;
constexpr int kPictureSizePx = 300;  // at 96 dpi

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// A tool window has no taskbar button; the static edge is the thin border
// that stays once the title bar is gone.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_STATICEDGE;

bool leftButton() { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

// The mouse buttons of a mouse message, as 1 = left, 2 = right, 4 = middle.
int buttonState(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
           ((keys & MK_MBUTTON) ? 4 : 0);
}

// The console picture at the screen's scale.
HBITMAP loadPicture(int dpi) {
    auto original = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(IDB_CONSOLE), IMAGE_BITMAP,
                                                    0, 0, LR_CREATEDIBSECTION));
    if (!original || dpi == 96) return original;
    int size = twipsToPixels(kPictureSizePx * 15, dpi);
    HBITMAP scaled = static_cast<HBITMAP>(CopyImage(original, IMAGE_BITMAP, size, size, 0));
    DeleteObject(original);
    return scaled;
}
}  // namespace

DropWindow::DropWindow()
    : run_(queue_, fileSystem_, shell_, messages_, [this] { return scanner_.caption(); }),
      dropTarget_([this](std::vector<std::string> paths) { queueDrop(std::move(paths)); }) {}

bool DropWindow::create() {
    dpi_ = screenDpi();
    picture_.reset(loadPicture(dpi_));
    pictureBrush_.reset(CreatePatternBrush(picture_.get()));
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CALDRIFT));
    registerClass(kClassName, pictureBrush_.get(), icon);

    RECT outer{0, 0, twipsToPixels(kClientWidthTwips, dpi_), twipsToPixels(kClientHeightTwips, dpi_)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    createWindow(kExStyle, kClassName, L"Caldrift", kStyle, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top);
    if (!hwnd_) return false;
    createControls(dpi_);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    dropTarget_.registerOn(hwnd_);
    SetTimer(hwnd_, Timer1, 1000, nullptr);
    SetTimer(hwnd_, Timer5, 1, nullptr);
    SetTimer(hwnd_, Timer6, 100, nullptr);
    startUp();
    return true;
}

void DropWindow::createControls(int dpi) {
    label1_ = createControl(hwnd_, L"STATIC", L"NO", SS_CENTER | SS_NOTIFY, kLabel1, dpi, 1);
    label2_ = createControl(hwnd_, L"STATIC", L"PSP Version", SS_LEFTNOWORDWRAP, kLabel2, dpi, 2);
    bool chiller = fontInstalled(L"Chiller");
    if (!chiller)
        SetWindowLongPtrW(label1_, GWL_STYLE, GetWindowLongPtrW(label1_, GWL_STYLE) | SS_CENTERIMAGE);
    label1Font_ = createFittingFont(label1_, chiller ? L"Chiller" : L"Tahoma", 39.75, true, dpi, L"NO");
    label2Font_ = createFittingFont(label2_, L"MS Sans Serif", 8.25, true, dpi, L"PSP Version");
    SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(label1Font_.get()), FALSE);
    SendMessageW(label2_, WM_SETFONT, reinterpret_cast<WPARAM>(label2Font_.get()), FALSE);

    tooltip_ = createTooltip(hwnd_);
    addTooltip(tooltip_, label1_, L"Drive assegnato alla PSP");

    popup_.reset(CreatePopupMenu());
    AppendMenuW(popup_.get(), MF_STRING, kMenuSetting, L"Impostazioni");
    AppendMenuW(popup_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup_.get(), MF_STRING, kMenuExit, L"Exit");
}

void DropWindow::startUp() {
    loadconf();
    tray_.add(hwnd_, reinterpret_cast<HICON>(GetClassLongPtrW(hwnd_, GCLP_HICON)));
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

void DropWindow::placeBottomRight() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    Point at = dropWindowPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  r.right - r.left, r.bottom - r.top, dpi_);
    SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DropWindow::startAutomaticDetection() {
    scanner_.startAutomatic();
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

void DropWindow::loadconf() {
    caldrift::loadconf(readSettings(settingsFolder_), *this, registry_, programPath());
}

// Brings the two drive timers and Label1 in line with the scanner; cheap
// when nothing changed, as it runs on every 10 ms tick.
void DropWindow::followDriveScanner() {
    if (scanner_.scanEnabled() != timer3On_) {
        timer3On_ = scanner_.scanEnabled();
        timer3On_ ? SetTimer(hwnd_, Timer3, 10, nullptr) : KillTimer(hwnd_, Timer3);
    }
    if (scanner_.watchEnabled() != timer4On_) {
        timer4On_ = scanner_.watchEnabled();
        timer4On_ ? SetTimer(hwnd_, Timer4, 10, nullptr) : KillTimer(hwnd_, Timer4);
    }
    if (shownCaption_ != scanner_.caption()) {
        shownCaption_ = scanner_.caption();
        SetWindowTextW(label1_, widen(shownCaption_).c_str());
    }
}

void DropWindow::onTimer(UINT_PTR id) {
    switch (id) {
    case Timer1: sampleLeftButton(); break;
    case Timer2:
        show();
        KillTimer(hwnd_, Timer2);
        break;
    case Timer3: scanDrives(); break;
    case Timer4: watchDrive(); break;
    case Timer5: keepDriveAssignedFlag(); break;
    case Timer6: hideEmptyPendingWindow(); break;
    }
}

void DropWindow::sampleLeftButton() {
    DragVisibilityStep step = sampleDragVisibility(leftButton, IsWindowVisible(hwnd_) != FALSE);
    if (step.armShowTimer) SetTimer(hwnd_, Timer2, 500, nullptr);
    if (step.hide) ShowWindow(hwnd_, SW_HIDE);
}

void DropWindow::scanDrives() {
    scanner_.scanTick(probe_);
    followDriveScanner();
}

void DropWindow::watchDrive() {
    scanner_.watchTick(probe_);
    followDriveScanner();
}

void DropWindow::keepDriveAssignedFlag() { driveAssigned_ = driveAssigned(scanner_.caption()); }

void DropWindow::hideEmptyPendingWindow() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    pending_.ensureCreated(r.bottom - r.top);
    if (pending_.visible() && pending_.lineCount() == 0) pending_.hide();
}

void DropWindow::onMouse(WPARAM buttons) {
    if (buttonState(buttons) == 2) openPopupMenu();
}

void DropWindow::onTrayNotification(LPARAM mouseMessage) {
    if (mouseMessage == WM_RBUTTONUP) openPopupMenu();
}

void DropWindow::openPopupMenu() {
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(hwnd_);  // so the menu closes when the user clicks elsewhere
    TrackPopupMenu(popup_.get(), 0, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void DropWindow::onCommand(UINT id) {
    if (id == kMenuSetting) settings_.open(hwnd_);
    if (id == kMenuExit) exitProgram();
}

void DropWindow::exitProgram() {
    tray_.remove();
    if (settings_.hwnd()) DestroyWindow(settings_.hwnd());
    if (pending_.hwnd()) DestroyWindow(pending_.hwnd());
    DestroyWindow(hwnd_);
    PostQuitMessage(0);
}

// The drop is taken up once the system's drag has ended, so that the source
// (the shell, usually) is not held up while the files are copied.
void DropWindow::queueDrop(std::vector<std::string> paths) {
    drops_.push_back(std::move(paths));
    PostMessageW(hwnd_, kDropArrived, 0, 0);
}

void DropWindow::takeQueuedDrop() {
    if (drops_.empty()) return;
    std::vector<std::string> paths = std::move(drops_.front());
    drops_.pop_front();
    RECT r;
    GetWindowRect(hwnd_, &r);
    pending_.ensureCreated(r.bottom - r.top);
    if (takeDrop(paths, driveAssigned_, fileSystem_, queue_) == DropOutcome::AskForDrive) {
        messages_.show("Selezionare il drive della PSP", "Errore", kMessagePlain);
        return;
    }
    pending_.show();
    run_.trasfer();
}

void DropWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture_.get());
    BITMAP bm{};
    GetObjectW(picture_.get(), sizeof(bm), &bm);
    BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(hwnd_, &ps);
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
    case WM_MOUSEMOVE:
        if (TrayIcon::isNotification(wParam, lParam))
            onTrayNotification(LOWORD(lParam));
        else
            onMouse(wParam);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN: onMouse(wParam); return 0;
    case WM_COMMAND: onCommand(LOWORD(wParam)); return 0;
    case kDropArrived: takeQueuedDrop(); return 0;
    case WM_CLOSE: return 0;  // the window lives until Exit
    case WM_ENDSESSION:
        if (wParam) tray_.remove();
        return 0;
    case WM_DESTROY: dropTarget_.revoke(); return 0;
    default:
        if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
            tray_.add(hwnd_, reinterpret_cast<HICON>(GetClassLongPtrW(hwnd_, GCLP_HICON)));
            return 0;
        }
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

}  // namespace caldrift
