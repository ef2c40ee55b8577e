#pragma once
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>
#include <winnetwk.h>

namespace toolkit {

// From here on the loader looks for DLLs in System32 only, never beside the program.
void loadLibrariesFromSystemOnly();
// A function of a DLL loaded from System32 and kept for the program's life;
// none when the system lacks it.
void* systemFunction(const wchar_t* dll, const char* name);

// The functions not every Windows has, each typed from the system's own
// declaration and looked up once, when first asked for.
#define TOOLKIT_LATE_FUNCTIONS(X)                \
    X(L"kernel32.dll", SetDefaultDllDirectories) \
    X(L"user32.dll", SetCoalescableTimer)        \
    X(L"user32.dll", GetDpiForWindow)            \
    X(L"user32.dll", ShutdownBlockReasonCreate)  \
    X(L"user32.dll", ShutdownBlockReasonDestroy) \
    X(L"comctl32.dll", LoadIconMetric)           \
    X(L"uxtheme.dll", SetWindowTheme)            \
    X(L"mpr.dll", WNetGetConnectionW)

// late::SetWindowTheme() is the system's SetWindowTheme, or none.
namespace late {
#define TOOLKIT_LATE_FUNCTION(dll, name)                                                          \
    typedef decltype(::name)* Sig_##name;                                                         \
    inline Sig_##name name() {                                                                    \
        static const Sig_##name found = reinterpret_cast<Sig_##name>(systemFunction(dll, #name)); \
        return found;                                                                             \
    }
TOOLKIT_LATE_FUNCTIONS(TOOLKIT_LATE_FUNCTION)
#undef TOOLKIT_LATE_FUNCTION
}  // namespace late

}  // namespace toolkit
