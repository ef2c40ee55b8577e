#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "dropwindow/drop_window.h"
#include "platform/handles_win32.h"
#include "splash/splash_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // An empty card-reader slot must not bring up the system's "no disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    caldrift::KernelHandle oneInstance(CreateMutexW(nullptr, FALSE, L"Local\\Caldrift.Running"));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    if (FAILED(OleInitialize(nullptr))) return 1;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);

    int exitCode = 0;
    {
        caldrift::DropWindow dropWindow;
        // The drop window starts up when the splash hands over to it.
        caldrift::SplashWindow splash([&dropWindow] {
            if (dropWindow.hwnd() || dropWindow.create())
                dropWindow.show();
            else
                PostQuitMessage(1);
        });
        if (!splash.create()) return 1;
        splash.show();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (dropWindow.translate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exitCode = static_cast<int>(msg.wParam);
    }
    OleUninitialize();
    return exitCode;
}
