#include "transfer/pending_window.h"

#include "platform/text_win32.h"

namespace caldrift {

namespace {
constexpr COLORREF kLightYellow = 0x00C0FFFF;
constexpr COLORREF kRed = 0x000000FF;
constexpr int kWidthTwips = 2790;
constexpr int kHeightTwips = 3870;
constexpr TwipRect kList1{0, 0, 2775, 3570};
constexpr TwipRect kLabel1{360, 3600, 2115, 195};
}  // namespace

void PendingWindow::ensureCreated(int dropWindowHeightPx) {
    if (hwnd_) return;
    background_.reset(CreateSolidBrush(kLightYellow));
    registerClass(kClassName, background_.get());
    int dpi = screenDpi();
    Point at = pendingWindowPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     dropWindowHeightPx, kWidthTwips, kHeightTwips, dpi);
    createWindow(WS_EX_TOOLWINDOW, kClassName, L"File Trasfer", WS_POPUP, at.x, at.y,
                 twipsToPixels(kWidthTwips, dpi), twipsToPixels(kHeightTwips, dpi));
    if (!hwnd_) return;
    list1_ = createControl(hwnd_, L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, kList1, dpi, 1);
    label1_ = createControl(hwnd_, L"STATIC", L"Trasferimenti in Attesa...", SS_CENTER, kLabel1, dpi, 2);
    labelFont_ = createFittingFont(label1_, L"MS Sans Serif", 8.25, true, dpi,
                                   L"Trasferimenti in Attesa...");
    SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), FALSE);
}

void PendingWindow::show() {
    if (hwnd_) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void PendingWindow::hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool PendingWindow::visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

int PendingWindow::lineCount() const {
    return static_cast<int>(SendMessageW(list1_, LB_GETCOUNT, 0, 0));
}

void PendingWindow::append(const std::string& name) {
    SendMessageW(list1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
}

void PendingWindow::removeFirst() {
    SendMessageW(list1_, LB_DELETESTRING, 0, 0);
    UpdateWindow(list1_);
}

LRESULT PendingWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == label1_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kRed);
        SetBkColor(dc, kLightYellow);
        return reinterpret_cast<LRESULT>(background_.get());
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace caldrift
