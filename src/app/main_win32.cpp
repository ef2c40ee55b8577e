#include <windows.h>
#include <commctrl.h>

#include "common/language.h"
#include "common/paths.h"
#include "drive/drive_probe_win32.h"
#include "dropwindow/drop_window_win32.h"
#include "settings/settings_win32.h"
#include "splash/splash_window_win32.h"
#include "toolkit/handles.h"
#include "toolkit/message_boxes.h"
#include "toolkit/system_functions.h"
#include "toolkit/text.h"
#include "transfer/compression_progress_win32.h"
#include "transfer/file_system_win32.h"
#include "transfer/safekeeping_win32.h"
#include "transfer/shell_copy_win32.h"

namespace {

// Italian for an Italian Windows, English for any other: texts and pictures alike.
void speakTheUsersLanguage() {
    bool italian = caldrift::languageFor(GetUserDefaultUILanguage()) == caldrift::Language::Italian;
    toolkit::useResourceLanguage(italian ? MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)
                                         : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    caldrift::usePhrasebook(toolkit::resourceText);
}

int runMessageLoop(caldrift::DropWindow& dropWindow) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (dropWindow.translate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace caldrift;
    toolkit::loadLibrariesFromSystemOnly();
    speakTheUsersLanguage();
    // An empty card-reader slot must not bring up the system's "no disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    toolkit::KernelHandle oneInstance(CreateMutexW(nullptr, FALSE, L"Local\\Caldrift.Running"));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    toolkit::OleSession ole;
    if (!ole.ok()) return 1;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    Win32FileSystem files;
    Win32ShellCopy shell;
    toolkit::MessageBoxService messages;
    std::string programPath = toolkit::programPath();
    Win32SettingsFolder settingsFolder(parentOf(programPath));
    Win32Registry registry;
    Win32DriveProbe driveProbe;
    Win32Safekeeping keeping;
    Win32CompressionProgress compression;
    DropWindow dropWindow({files,
                           shell,
                           messages,
                           settingsFolder,
                           registry,
                           driveProbe,
                           keeping,
                           compression,
                           {programPath, programFilesFolders()}});

    // The drop window starts up when the splash hands over to it.
    SplashWindow splash([&dropWindow] {
        if (dropWindow.hwnd() || dropWindow.create())
            dropWindow.show();
        else
            PostQuitMessage(1);
    });
    if (!splash.create()) return 1;
    splash.show();
    return runMessageLoop(dropWindow);
}
