#include "dropwindow/pending_window_win32.h"

#include "common/colours.h"
#include "dropwindow/placement.h"
#include "text_ids.h"
#include "toolkit/controls.h"
#include "toolkit/fonts.h"
#include "toolkit/screen.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
constexpr int kWidthTwips = 2790;
constexpr int kHeightTwips = 3870;
constexpr ControlSpec kList1{L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, {0, 0, 2775, 3570}, 1};
constexpr ControlSpec kLabel1{L"STATIC", SS_CENTER, {360, 3600, 2115, 195}, 2, IDS_PENDING_LABEL};
constexpr FontSpec kLabelFont{L"MS Sans Serif", 8.25, true};
}  // namespace

// Above the drop window, at the scaling Windows has for it now.
void PendingWindow::place(const WorkArea& area, int dropWindowHeightPx) {
    if (!hwnd_ && !create()) return;
    matchWindowDpi(hwnd_, dpi_);
    moveWindow(hwnd_,
               pendingWindowPosition(area, dropWindowHeightPx, kWidthTwips, kHeightTwips, dpi_));
}

bool PendingWindow::create() {
    background_.reset(CreateSolidBrush(kLightYellow));
    dpi_ = screenDpi();
    if (!registerClass(kClassName, background_.get()) ||
        !createWindow({kClassName, words(IDS_PENDING_TITLE).c_str(), WS_POPUP, WS_EX_TOOLWINDOW,
                       kWidthTwips, kHeightTwips},
                      dpi_))
        return false;
    list1_ = createControl(hwnd_, kList1, dpi_);
    label1_ = createControl(hwnd_, kLabel1, dpi_);
    setFittingFont(label1_, kLabelFont, dpi_, labelFont_);
    return true;
}

// Its place follows the drop window's, which is laid out again too.
void PendingWindow::onDpiChanged(WPARAM wParam, LPARAM lParam) {
    dpi_ = takeDpiChange(hwnd_, wParam, lParam);
    placeControl(list1_, kList1.place, dpi_);
    placeControl(label1_, kLabel1.place, dpi_);
    setFittingFont(label1_, kLabelFont, dpi_, labelFont_);
}

void PendingWindow::show() {
    if (hwnd_ && lineCount() > 0) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void PendingWindow::hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

int PendingWindow::lineCount() const {
    return static_cast<int>(SendMessageW(list1_, LB_GETCOUNT, 0, 0));
}

void PendingWindow::append(const std::string& name) {
    SendMessageW(list1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
}

void PendingWindow::removeFirst() {
    SendMessageW(list1_, LB_DELETESTRING, 0, 0);
    if (lineCount() == 0) hide();
    UpdateWindow(list1_);
}

LRESULT PendingWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DPICHANGED) {
        onDpiChanged(wParam, lParam);
        return 0;
    }
    if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == label1_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kRed);
        SetBkColor(dc, kLightYellow);
        return reinterpret_cast<LRESULT>(background_.get());
    }
    return defaultHandling(msg, wParam, lParam);
}

}  // namespace caldrift
