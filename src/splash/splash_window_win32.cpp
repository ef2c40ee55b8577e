#include "splash/splash_window_win32.h"

#include <windowsx.h>

#include <utility>

#include "common/colours.h"
#include "settings/pictures_win32.h"
#include "splash/disclaimer.h"
#include "toolkit/controls.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
constexpr int kClientWidthTwips = 7380;
constexpr int kClientHeightTwips = 4245;
constexpr TwipRect kFrame1{150, 60, 7080, 4050};
// Inside Frame1:
constexpr TwipRect kImgLogo{120, 360, 2400, 2190};
constexpr TwipRect kLblCompanyProduct{2640, 480, 2415, 405};
constexpr TwipRect kLblProductName{2760, 1080, 4200, 825};
constexpr TwipRect kLblVersion{5280, 2160, 1455, 285};
constexpr TwipRect kLblWarning{120, 2880, 6855, 1035};

constexpr const wchar_t* kCompanyProduct = L"Norvask Presenta :";
constexpr const wchar_t* kProductName = L"CALDRIFT";
constexpr const wchar_t* kVersion = L"Ver. Final 1.0";

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
    int dpi = dpi_ = screenDpi();
    registerClass(kClassName, GetSysColorBrush(COLOR_BTNFACE));
    registerWindowClass({kFrameClass, frameProcedure, GetSysColorBrush(COLOR_BTNFACE)});

    if (!createWindow({kClassName, L"", kStyle, kExStyle, kClientWidthTwips, kClientHeightTwips},
                      dpi))
        return false;
    centreOnScreen(hwnd_);
    createControls(dpi);
    SetTimer(hwnd_, Timer1, 100, nullptr);
    SetTimer(hwnd_, Timer2, 3000, nullptr);
    return true;
}

HWND SplashWindow::createLabel(const wchar_t* text, DWORD style, const TwipRect& place, int dpi,
                               int id) {
    // SS_NOTIFY makes a label take its clicks instead of passing them to the frame.
    return createControl(frame1_, {L"STATIC", text, style | SS_NOTIFY, place, id}, dpi);
}

void SplashWindow::createControls(int dpi) {
    frame1_ = createControl(hwnd_, {kFrameClass, L"", 0, kFrame1, Frame1}, dpi);

    createLabel(nullptr, SS_BITMAP, kImgLogo, dpi, ImgLogo);
    loadPictures();

    HWND company =
        createLabel(kCompanyProduct, SS_LEFTNOWORDWRAP, kLblCompanyProduct, dpi, LblCompanyProduct);
    companyFont_ = createFittingFont(company, {L"Juice ITC", 18, true, true}, dpi, kCompanyProduct);
    setFont(company, companyFont_);
    sizeToText(company);

    lblProductName_ =
        createLabel(kProductName, SS_LEFTNOWORDWRAP, kLblProductName, dpi, LblProductName);
    productFont_ = createFittingFont(lblProductName_, {L"Juice ITC", 36, true}, dpi, kProductName);
    setFont(lblProductName_, productFont_);
    sizeToText(lblProductName_);

    HWND version = createLabel(kVersion, SS_RIGHT, kLblVersion, dpi, LblVersion);
    versionFont_ = createFittingFont(version, {L"Arial", 12, true}, dpi, kVersion);
    setFont(version, versionFont_);

    lblWarning_ =
        createLabel(widen(splashDisclaimer()).c_str(), SS_LEFT, kLblWarning, dpi, LblWarning);
    warningFont_ = createFont({L"Arial", 8.25}, dpi);
    setFont(lblWarning_, warningFont_);
}

void SplashWindow::loadPictures() {
    logo_ = programPicture(Picture::Logo, kImgLogo, dpi_);
    SendDlgItemMessageW(frame1_, ImgLogo, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(logo_.get()));
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
    default: return defaultHandling(msg, wParam, lParam);
    }
}

}  // namespace caldrift
