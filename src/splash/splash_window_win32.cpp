#include "splash/splash_window_win32.h"

#include <windowsx.h>

#include <utility>

#include "common/colours.h"
#include "text_ids.h"
#include "toolkit/controls.h"
#include "toolkit/fonts.h"
#include "toolkit/pictures.h"
#include "toolkit/screen.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
constexpr int kClientWidthTwips = 7380;
constexpr int kClientHeightTwips = 4245;
constexpr TwipRect kFrame1{150, 60, 7080, 4050};
enum ControlId : int {
    Frame1 = 1,
    ImgLogo,
    LblCompanyProduct,
    LblProductName,
    LblVersion,
    LblWarning
};
// Inside Frame1:
constexpr TwipRect kImgLogo{120, 360, 2400, 2190};
constexpr ControlSpec kLabels[] = {
    {L"STATIC", SS_BITMAP, kImgLogo, ImgLogo},
    {L"STATIC", SS_LEFTNOWORDWRAP, {2640, 480, 2415, 405}, LblCompanyProduct, IDS_PRESENTS},
    {L"STATIC", SS_LEFTNOWORDWRAP, {2760, 1080, 4200, 825}, LblProductName, IDS_PRODUCT_NAME},
    {L"STATIC", SS_RIGHT, {5280, 2160, 1455, 285}, LblVersion, IDS_VERSION},
    {L"STATIC", SS_LEFT, {120, 2880, 6855, 1035}, LblWarning, IDS_DISCLAIMER},
};

// A dialog frame and no title bar; a tool window keeps it off the taskbar.
constexpr DWORD kStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

constexpr const wchar_t* kFrameClass = L"CaldriftSplashFrame";

// Frame1 is an etched box that, unlike a group box, takes the clicks on its
// own area. Its labels ask it for their colours; the splash answers.
LRESULT CALLBACK frameProcedure(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PaintDc dc(frame);
        RECT r;
        GetClientRect(frame, &r);
        DrawEdge(dc.get(), &r, EDGE_ETCHED, BF_RECT);
        return 0;
    }
    case WM_LBUTTONDOWN: SetCapture(frame); return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != frame) return 0;
        ReleaseCapture();
        RECT r;
        GetClientRect(frame, &r);
        if (PtInRect(&r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            SendMessageW(GetParent(frame), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(frame), BN_CLICKED),
                         reinterpret_cast<LPARAM>(frame));
        return 0;
    }
    case WM_CTLCOLORSTATIC: return SendMessageW(GetParent(frame), msg, wParam, lParam);
    }
    return DefWindowProcW(frame, msg, wParam, lParam);
}

}  // namespace

SplashWindow::SplashWindow(std::function<void()> handOver) : handOver_(std::move(handOver)) {}

bool SplashWindow::create() {
    dpi_ = screenDpi();
    if (!registerClass(kClassName, GetSysColorBrush(COLOR_BTNFACE)) ||
        !registerWindowClass({kFrameClass, frameProcedure, GetSysColorBrush(COLOR_BTNFACE)}) ||
        !createWindow({kClassName, L"", kStyle, kExStyle, kClientWidthTwips, kClientHeightTwips,
                       nullptr, true},
                      dpi_))
        return false;
    createControls();
    matchWindowDpi(hwnd_, dpi_);
    centreOnScreen(hwnd_);  // again, should the monitor's scaling have changed its size
    SetTimer(hwnd_, Timer1, 100, nullptr);
    SetTimer(hwnd_, Timer2, 3000, nullptr);
    return true;
}

void SplashWindow::createControls() {
    frame1_ = createControl(hwnd_, {kFrameClass, 0, kFrame1, Frame1}, dpi_);
    // SS_NOTIFY makes a label take its clicks instead of passing them to the frame.
    for (const ControlSpec& label : kLabels) {
        ControlSpec notifying = label;
        notifying.style |= SS_NOTIFY;
        createControl(frame1_, notifying, dpi_);
    }
    lblProductName_ = GetDlgItem(frame1_, LblProductName);
    lblWarning_ = GetDlgItem(frame1_, LblWarning);
    setFontsAndPictures();
}

// Fonts fit their labels at the window's DPI; the two titles take the size of their text.
void SplashWindow::setFontsAndPictures() {
    HWND company = GetDlgItem(frame1_, LblCompanyProduct);
    setFittingFont(company, {L"Juice ITC", 18, true, true}, dpi_, companyFont_);
    setFittingFont(lblProductName_, {L"Juice ITC", 36, true}, dpi_, productFont_);
    setFittingFont(GetDlgItem(frame1_, LblVersion), {L"Arial", 12, true}, dpi_, versionFont_);
    warningFont_ = createFont({L"Arial", 8.25}, dpi_);
    setFont(lblWarning_, warningFont_);
    sizeToText(company);
    sizeToText(lblProductName_);
    loadPictures();
}

void SplashWindow::loadPictures() {
    logo_ = programPicture(Picture::Logo, kImgLogo, dpi_);
    SendDlgItemMessageW(frame1_, ImgLogo, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(logo_.get()));
}

void SplashWindow::onDpiChanged(WPARAM wParam, LPARAM lParam) {
    dpi_ = takeDpiChange(hwnd_, wParam, lParam);
    placeControl(frame1_, kFrame1, dpi_);
    for (const ControlSpec& label : kLabels)
        placeControl(GetDlgItem(frame1_, label.id), label.place, dpi_);
    setFontsAndPictures();
}

void SplashWindow::show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void SplashWindow::onTimer(UINT_PTR id) {
    switch (id) {
    case Timer1: flickerTitle(); break;
    case Timer2: end(); break;
    }
}

void SplashWindow::flickerTitle() {
    titleColor_ = flicker_.nextColor();
    titleFlickering_ = true;
    InvalidateRect(lblProductName_, nullptr, TRUE);
}

void SplashWindow::end() {
    if (ending_) return;
    ending_ = true;
    KillTimer(hwnd_, Timer1);
    KillTimer(hwnd_, Timer2);
    handOver_();
    DestroyWindow(hwnd_);
}

LRESULT SplashWindow::colorStatic(HDC dc, HWND control) {
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    if (control == lblWarning_) text = kRed;
    if (control == lblProductName_ && titleFlickering_) text = titleColor_;
    SetTextColor(dc, text);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT SplashWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_CHAR: end(); return 0;  // any key that makes a character; its children take no focus
    case WM_COMMAND:
        if (LOWORD(wParam) == Frame1) end();
        return 0;
    case WM_CTLCOLORSTATIC:
        return colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE: end(); return 0;
    case WM_DPICHANGED: onDpiChanged(wParam, lParam); return 0;
    default: return defaultHandling(msg, wParam, lParam);
    }
}

}  // namespace caldrift
