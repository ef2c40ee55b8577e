#pragma once
#include <deque>
#include <string>
#include <vector>

#include "drive/scanner.h"
#include "dropwindow/drop_target_win32.h"
#include "dropwindow/intake.h"
#include "dropwindow/tray_icon_win32.h"
#include "platform/drive_probe_win32.h"
#include "platform/file_system_win32.h"
#include "platform/settings_win32.h"
#include "platform/shell_copy_win32.h"
#include "platform/window_win32.h"
#include "settings/apply_settings.h"
#include "settings/settings_dialog.h"
#include "transfer/pending_window.h"
#include "transfer/transfer_run.h"

namespace caldrift {

// Form1: the picture of the console that files are dropped on. It lives
// hidden, shows up while the left button is held, and owns the tray icon.
class DropWindow : public Window<DropWindow>, private DropWindowSettings {
public:
    static constexpr const wchar_t* kClassName = L"CaldriftDropWindow";

    DropWindow();
    bool create();
    void show();

    // Reads Setting.INI and applies it to this window and the Run value.
    void loadconf();
    // Lets the settings dialog have its keys (Tab, Esc, Enter).
    bool translate(MSG& msg) { return settings_.translate(msg); }

    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    enum TimerId : UINT_PTR { Timer1 = 1, Timer2, Timer3, Timer4, Timer5, Timer6 };
    enum MenuId : UINT { kMenuSetting = 100, kMenuExit };

    void startUp();
    void startAutomaticDetection() override;
    void useFixedDrive(const std::optional<std::string>& drive) override;
    void showFirmwareLine(const std::string& line) override;
    void setOpacity(int opacity) override;
    void createControls(int dpi);
    void hideTitleBar();
    void placeBottomRight();
    void paint();
    LRESULT colorStatic(HDC dc, HWND control);

    void onTimer(UINT_PTR id);
    void sampleLeftButton();
    void scanDrives();
    void watchDrive();
    void followDriveScanner();
    void keepDriveAssignedFlag();
    void hideEmptyPendingWindow();

    void onMouse(WPARAM buttons);
    void onTrayNotification(LPARAM mouseMessage);
    void openPopupMenu();
    void onCommand(UINT id);
    void exitProgram();

    void queueDrop(std::vector<std::string> paths);
    void takeQueuedDrop();

    static const UINT kDropArrived = WM_APP + 1;
    UINT taskbarCreated_ = 0;

    int dpi_ = 96;
    GdiObject<HBITMAP> picture_;
    GdiObject<HBRUSH> pictureBrush_;
    GdiObject<HFONT> label1Font_, label2Font_;
    MenuHandle popup_;
    HWND label1_ = nullptr;
    HWND label2_ = nullptr;
    HWND tooltip_ = nullptr;
    TrayIcon tray_;

    DriveScanner scanner_;
    Win32DriveProbe probe_;
    bool timer3On_ = false, timer4On_ = false;
    std::string shownCaption_ = DriveScanner::kNoDrive;  // what Label1 reads
    bool driveAssigned_ = false;

    PendingWindow pending_;
    TransferQueue queue_{pending_};
    Win32FileSystem fileSystem_;
    Win32ShellCopy shell_;
    Win32MessageBoxes messages_;
    Win32SettingsFolder settingsFolder_{programFolder()};
    Win32Registry registry_;
    SettingsDialog settings_{[this] { loadconf(); }};
    TransferRun run_;
    DropTarget dropTarget_;
    std::deque<std::vector<std::string>> drops_;
};

}  // namespace caldrift
