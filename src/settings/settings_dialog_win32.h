#pragma once
#include <functional>

#include "settings/apply_settings.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace caldrift {

namespace settings_dialog {
// The dialog's controls (the end-to-end tests read these numbers from here).
enum ControlId : int {
    kTab = 10,
    kDriveLabel = 11,
    kDriveList = 12,      // Drive1
    kAutoDetection = 13,  // Check4
    kVersionLabel = 14,
    kFirmware = 15,  // Combo1
    kNoteLabel = 16,
    kStartWithWindows = 17,  // Check1
    kTransparencyLabel = 18,
    kTransparency = 19,  // Slider1
    kLogo = 20,          // Image1
    kTitleLabel = 21,
    kAuthorLabel = 22,
    kMail = 23,     // Image2
    kWebSite = 24,  // Image3
    kApply = 25
};
}  // namespace settings_dialog

// Form2, "Opzioni": the settings of Setting.INI in three tabs. Modeless;
// one at a time.
class SettingsDialog : public toolkit::Window<SettingsDialog>, private SettingsDialogControls {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftSettingsDialog";

    // `applyToDropWindow` runs the drop window's loadconf after "Applica";
    // `messageBoxOpen` hears when the dialog's error box opens and closes.
    SettingsDialog(SettingsFolder& folder, std::function<void()> applyToDropWindow,
                   std::function<void(bool)> messageBoxOpen);
    // Opens the dialog, or brings the open one forward.
    void open(HWND owner);
    // For the message loop: keyboard navigation, Esc and Enter.
    bool translate(MSG& msg);

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool create(HWND owner);
    void createControls();
    void setUpTabs();
    void fillLists();
    void setFontsAndPictures();
    void loadPictures();
    void onDpiChanged(WPARAM wParam, LPARAM lParam);
    void fillDrives();
    void showTab(int tab);
    HWND control(int id) const { return GetDlgItem(hwnd_, id); }

    void setAutomaticDrive(bool automatic) override;
    void setDrive(const std::string& drive) override;
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
    void previewTransparency();
    void followAutoDetection();
    void drawPicture(const DRAWITEMSTRUCT& item);
    LRESULT colorStatic(HDC dc, HWND control);

    SettingsFolder& folder_;
    std::function<void()> applyToDropWindow_;
    std::function<void(bool)> messageBoxOpen_;
    int dpi_ = 96;
    bool filling_ = false;

    HWND tooltip_ = nullptr;
    toolkit::GdiObject<HBITMAP> logo_, mail_, web_;
    toolkit::GdiObject<HFONT> font_, titleFont_, authorFont_;
};

}  // namespace caldrift
