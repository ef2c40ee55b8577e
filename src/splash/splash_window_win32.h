#pragma once
#include <functional>

#include "common/twips.h"

#include "splash/title_flicker.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace caldrift {

// frmSplash: the program's first window. It goes after three seconds, or at
// a key or a click on its frame, and hands over to the drop window.
class SplashWindow : public toolkit::Window<SplashWindow> {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftSplash";

    // handOver runs once, while the splash is still up, so that the program
    // always has a window.
    explicit SplashWindow(std::function<void()> handOver);
    bool create();
    void show();

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    enum TimerId : UINT_PTR { Timer1 = 1, Timer2 };
    enum ControlId : int {
        Frame1 = 1,
        ImgLogo,
        LblCompanyProduct,
        LblProductName,
        LblVersion,
        LblWarning
    };

    void createControls(int dpi);
    void loadPictures();
    HWND createLabel(const wchar_t* text, DWORD style, const TwipRect& place, int dpi, int id);
    void onTimer(UINT_PTR id);
    void flickerTitle();
    void end();
    LRESULT colorStatic(HDC dc, HWND control);

    std::function<void()> handOver_;
    int dpi_ = 96;
    bool ending_ = false;
    TitleFlicker flicker_;
    bool titleFlickering_ = false;
    COLORREF titleColor_ = 0;

    toolkit::GdiObject<HBITMAP> logo_;
    toolkit::GdiObject<HFONT> companyFont_, productFont_, versionFont_, warningFont_;
    HWND frame1_ = nullptr;
    HWND lblProductName_ = nullptr;
    HWND lblWarning_ = nullptr;
};

}  // namespace caldrift
