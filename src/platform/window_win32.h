#pragma once
#include <windows.h>

#include <string>

#include "common/twips.h"
#include "platform/handles_win32.h"

namespace caldrift {

// The window procedure of every program window: `this` travels in
// GWLP_USERDATA and each message goes to the object's handle().
template <typename Derived>
class Window {
public:
    HWND hwnd() const { return hwnd_; }

protected:
    static bool registerClass(const wchar_t* name, HBRUSH background, HICON icon = nullptr) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Window::procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }

    HWND createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      int x, int y, int width, int height, HWND owner = nullptr) {
        return CreateWindowExW(exStyle, className, title, style, x, y, width, height, owner,
                               nullptr, GetModuleHandleW(nullptr), this);
    }

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<Derived*>(
                static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return self->handle(msg, wParam, lParam);
    }
};

int screenDpi();

// A child control placed in twips.
HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                   const TwipRect& place, int dpi, int id = 0);

GdiObject<HFONT> createFont(const wchar_t* face, double points, bool bold, int dpi,
                            bool italic = false);
// The font at its designed size, or smaller where a substitute face would
// not fit the text into the control.
GdiObject<HFONT> createFittingFont(HWND control, const wchar_t* face, double points, bool bold,
                                   int dpi, const wchar_t* widestText, bool italic = false);
bool fontInstalled(const wchar_t* face);
// A tooltip window of `owner`, and a tip shown over one of its controls.
HWND createTooltip(HWND owner);
void addTooltip(HWND tooltip, HWND control, const std::wstring& text);

// Makes a label exactly as large as its one line of text in its font.
void sizeToText(HWND label);

// A JPEG or GIF stored as RCDATA, as a bitmap; none when it cannot be read.
GdiObject<HBITMAP> loadEncodedPicture(int resourceId);

std::wstring windowText(HWND hwnd);

}  // namespace caldrift
