#pragma once
#include <windows.h>

#include "toolkit/failure.h"
#include "toolkit/screen.h"

namespace toolkit {

struct WindowClass {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;  // none: Windows shrinks `icon`
};

// Registers a class of this module; registering it again is no failure.
[[nodiscard]] bool registerWindowClass(const WindowClass& windowClass);

// A top-level window with a client area of the given size in twips, made in
// the middle of the screen or at the top-left corner for its owner to place.
struct WindowSpec {
    const wchar_t* className = nullptr;
    const wchar_t* title = L"";
    DWORD style = 0;
    DWORD exStyle = 0;
    int clientWidthTwips = 0, clientHeightTwips = 0;
    HWND owner = nullptr;
    bool centred = false;
};
SIZE outerSize(const WindowSpec& window, int dpi);

// One object per top-level window: `this` travels in GWLP_USERDATA and each
// message goes to Derived::handle. The object owns its window and destroys
// it when it goes.
template <typename Derived>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() {
        // The derived part is gone already: the last messages go to the default procedure.
        if (!hwnd_) return;
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }

    HWND hwnd() const { return hwnd_; }
    void destroy() {
        if (hwnd_) DestroyWindow(hwnd_);
    }

protected:
    // A window of a class that could not be registered is not created.
    [[nodiscard]] static bool registerClass(const wchar_t* name, HBRUSH background,
                                            HICON icon = nullptr, HICON smallIcon = nullptr) {
        return registerWindowClass({name, &Window::procedure, background, icon, smallIcon});
    }

    bool createWindow(const WindowSpec& window, int dpi) {
        SIZE size = outerSize(window, dpi);
        // Made where it stays: Wine may show a window moved before its first showing at the
        // place it was made for a moment.
        caldrift::Point at = window.centred ? centredOnScreen(size) : caldrift::Point{0, 0};
        if (!CreateWindowExW(window.exStyle, window.className, window.title, window.style, at.x,
                             at.y, size.cx, size.cy, window.owner, nullptr,
                             GetModuleHandleW(nullptr), this))
            logFailure(L"CreateWindowExW", GetLastError());
        return hwnd_ != nullptr;
    }

    LRESULT defaultHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* self =
                static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
        LRESULT result = static_cast<Derived*>(self)->handle(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }
};

}  // namespace toolkit
