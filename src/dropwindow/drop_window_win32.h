#pragma once
#include <string>
#include <vector>

#include "drive/scanner.h"
#include "dropwindow/drop_target_win32.h"
#include "dropwindow/messages_win32.h"
#include "dropwindow/pending_window_win32.h"
#include "dropwindow/run_life.h"
#include "dropwindow/tray_icon_win32.h"
#include "settings/apply_settings.h"
#include "settings/settings_dialog_win32.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"
#include "transfer/transfer_run.h"

namespace caldrift {

// What the program's windows work with, built once by wWinMain.
struct Services {
    FileSystem& files;
    ShellCopy& shell;
    MessageBoxes& messages;
    SettingsFolder& settingsFolder;
    Registry& registry;
    DriveProbe& driveProbe;
    Safekeeping& keeping;
    CompressionProgress& compression;
    ProgramLocation program;
};

// The menu of the tray icon and of the drop window.
enum MenuId : UINT { kMenuSetting = 100, kMenuExit, kMenuUndo, kMenuCompress };
toolkit::MenuHandle createPopupMenu();

// Form1: the picture of the console that files are dropped on. It lives
// hidden, shows up while the primary button is held, and owns the tray icon.
// Destroying it ends the program.
class DropWindow : public toolkit::Window<DropWindow>, private DropWindowSettings {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftDropWindow";

    explicit DropWindow(Services services);
    bool create();
    void show();

    // Reads Setting.INI and applies it to this window and the Run value.
    void loadconf();
    // Lets the settings dialog have its keys (Tab, Esc, Enter).
    bool translate(MSG& msg) { return settings_.translate(msg); }

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    // Timer1 samples the button and steps the drive scan once a second; Timer2
    // shows the window half a second into a drag; MountRetry looks again into a
    // volume Windows announced, while it mounts.
    enum TimerId : UINT_PTR { Timer1 = 1, Timer2, MountRetry };

    void startUp();
    void startAutomaticDetection() override;
    void useFixedDrive(const std::optional<std::string>& drive) override;
    void showFirmwareLine(const std::string& line) override;
    void setOpacity(int opacity) override;
    void compressImages(bool always) override;
    void toggleCompression();
    void loadPictures();
    void createControls();
    void setFonts();
    void onDpiChanged(WPARAM wParam, LPARAM lParam);
    void addTrayIcon();
    void hideTitleBar();
    void placeBottomRight();
    void paint();
    LRESULT colorStatic(HDC dc, HWND control);

    void onTimer(UINT_PTR id);
    void samplePrimaryButton();
    void followDriveScanner();
    void onDeviceChange(WPARAM event, LPARAM data);

    void onMouse(WPARAM buttons);
    void onTrayNotification(WPARAM wParam, LPARAM lParam);
    void openPopupMenu(POINT at);
    void onCommand(UINT id);
    void hideForExit();
    void tearDown();

    void resumeRunLife();
    void onEndSession(bool ending, LPARAM reason);
    // Asks Windows to wait with logging off while a run copies.
    void holdShutdown(bool hold);

    Services services_;
    UINT taskbarCreated_ = 0;
    int dpi_ = 96;
    toolkit::GdiObject<HBITMAP> picture_;
    toolkit::GdiObject<HBRUSH> pictureBrush_;
    toolkit::GdiObject<HFONT> label1Font_, label2Font_;
    toolkit::MenuHandle popup_;
    HWND label1_ = nullptr;
    HWND label2_ = nullptr;
    bool chiller_ = false;         // Label1's font is installed; Tahoma, centred upright, stands in
    bool compressImages_ = false;  // the menu's check mark
    TrayIcon tray_;

    DriveScanner scanner_;  // holds the current PSP drive, which Label1 shows
    std::string shownCaption_ = DriveScanner::kNoDrive;

    PendingWindow pending_;
    TransferQueue queue_{pending_};
    SettingsDialog settings_;
    RunLife runLife_;
    DropTarget dropTarget_;
};

}  // namespace caldrift
