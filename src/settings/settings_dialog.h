#pragma once
#include <functional>
#include <vector>

#include "platform/settings_win32.h"
#include "platform/window_win32.h"
#include "settings/apply_settings.h"

namespace caldrift {

// Form2, "Opzioni": the settings of Setting.INI in three tabs. Modeless;
// one at a time.
class SettingsDialog : public Window<SettingsDialog>, private SettingsDialogControls {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftSettingsDialog";

    // `applyToDropWindow` runs the drop window's loadconf after "Applica".
    explicit SettingsDialog(std::function<void()> applyToDropWindow);
    ~SettingsDialog();
    // Opens the dialog, or brings the open one forward.
    void open(HWND owner);
    // For the message loop: keyboard navigation, Esc and Enter.
    bool translate(MSG& msg);

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    enum ControlId : int {
        kTab = 10, kDriveLabel, kDrive1, kCheck4, kVersionLabel, kCombo1, kNoteLabel,
        kCheck1, kTransparencyLabel, kSlider1, kImage1, kTitleLabel, kAuthorLabel, kImage2,
        kImage3, kApply
    };
    enum TimerId : UINT_PTR { Timer1 = 1, Timer2 };
    struct Picture {
        HWND control = nullptr;
        GdiObject<HBITMAP> bitmap;
    };

    bool create(HWND owner);
    void createControls();
    void createTab1();
    void createTab2();
    void createTab3();
    HWND place(const wchar_t* className, const wchar_t* text, DWORD style, const TwipRect& at,
               int id, int tab);
    void fillDrives();
    void showTab(int tab);
    void centre();

    void setAutomaticDrive(bool automatic) override;
    void setFirmware(const std::string& version) override;
    void setStartWithWindows(bool on) override;
    void setSliderPosition(int position) override;
    SettingsForm form() const;
    std::string selectedDrive() const;
    bool saveconf();

    void onCommand(int id, int code);
    void changed();
    void ok();
    void apply();
    void close();
    void previewTransparency();
    void followAutoDetection();
    void drawPicture(const DRAWITEMSTRUCT& item);
    LRESULT colorStatic(HDC dc, HWND control);

    std::function<void()> applyToDropWindow_;
    Win32SettingsFolder folder_{programFolder()};
    int dpi_ = 96;
    bool filling_ = false;
    int shownOpacity_ = -1;

    HWND tab_ = nullptr, drive1_ = nullptr, check4_ = nullptr, combo1_ = nullptr;
    HWND check1_ = nullptr, slider1_ = nullptr, apply_ = nullptr, note_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<std::pair<HWND, int>> tabControls_;
    Picture logo_, mail_, web_;
    GdiObject<HFONT> font_, titleFont_, authorFont_;
};

}  // namespace caldrift
