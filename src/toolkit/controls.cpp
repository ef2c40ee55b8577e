#include "toolkit/controls.h"

#include <commctrl.h>
#include <wincodec.h>

#include <cmath>
#include <map>
#include <utility>

#include "toolkit/text.h"
#include "toolkit/window.h"

namespace toolkit {

using caldrift::PixelRect;
using caldrift::twipsToPixels;

bool registerWindowClass(const WindowClass& windowClass) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowClass.procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.smallIcon;
    wc.lpszClassName = windowClass.name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int screenDpi() {
    WindowDc screen;
    int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

int takeDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT* proposed = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return HIWORD(wParam);
}

RECT primaryWorkArea() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void placeControl(HWND control, const caldrift::TwipRect& place, int dpi) {
    PixelRect r = toPixels(place, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createControl(HWND parent, const ControlSpec& control, int dpi) {
    PixelRect r = toPixels(control.place, dpi);
    std::wstring text = control.textId ? loadString(control.textId) : std::wstring();
    return CreateWindowExW(0, control.className, control.textId ? text.c_str() : control.text,
                           WS_CHILD | WS_VISIBLE | control.style, r.left, r.top, r.width, r.height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                           GetModuleHandleW(nullptr), nullptr);
}

SIZE outerSize(const WindowSpec& window, int dpi) {
    RECT outer{0, 0, twipsToPixels(window.clientWidthTwips, dpi),
               twipsToPixels(window.clientHeightTwips, dpi)};
    AdjustWindowRectEx(&outer, window.style, FALSE, window.exStyle);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void moveWindow(HWND window, caldrift::Point to) {
    SetWindowPos(window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void centreOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    moveWindow(window, caldrift::centredWindowPosition(GetSystemMetrics(SM_CXSCREEN),
                                                       GetSystemMetrics(SM_CYSCREEN),
                                                       r.right - r.left, r.bottom - r.top));
}

GdiObject<HFONT> createFont(const FontSpec& design, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(design.points * dpi / 72.0));
    lf.lfWeight = design.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = design.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(lf.lfFaceName, design.face, LF_FACESIZE);
    return GdiObject<HFONT>(CreateFontIndirectW(&lf));
}

namespace {
// The font at its designed size, or smaller where a substitute face would
// not fit the text into the control.
GdiObject<HFONT> createFittingFont(HWND control, FontSpec design, int dpi,
                                   const wchar_t* widestText) {
    RECT room;
    GetClientRect(control, &room);
    WindowDc dc(control);
    GdiObject<HFONT> font = createFont(design, dpi);
    for (; design.points > 6; design.points -= 0.25, font = createFont(design, dpi)) {
        SIZE size{};
        {
            SelectedObject selected(dc.get(), font.get());
            GetTextExtentPoint32W(dc.get(), widestText, lstrlenW(widestText), &size);
        }
        if (size.cx <= room.right && size.cy <= room.bottom) break;
    }
    return font;
}

int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}
}  // namespace

bool fontInstalled(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    WindowDc screen;
    EnumFontFamiliesExW(screen.get(), &lf, noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

void setFont(HWND control, const GdiObject<HFONT>& font) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
}

void setFittingFont(HWND label, const FontSpec& design, int dpi, GdiObject<HFONT>& font,
                    const wchar_t* widestText) {
    std::wstring ownText = widestText ? L"" : windowText(label);
    GdiObject<HFONT> fitted =
        createFittingFont(label, design, dpi, widestText ? widestText : ownText.c_str());
    setFont(label, fitted);
    font = std::move(fitted);
}

void sizeToText(HWND label) {
    std::wstring text = windowText(label);
    RECT r{0, 0, 0, 0};
    {
        WindowDc dc(label);
        SelectedObject font(dc.get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_SINGLELINE);
    }
    SetWindowPos(label, nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createTooltip(HWND owner) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void addTooltip(HWND tooltip, HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

namespace {
// A top-down 32-bit bitmap whose pixels the program can write.
GdiObject<HBITMAP> createDibSection(SIZE size, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return GdiObject<HBITMAP>(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

// The first frame of an encoded picture, read by the system's imaging codecs.
GdiObject<HBITMAP> decodePicture(const void* bytes, DWORD size, SIZE* decodedSize) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> pixels;
    UINT width = 0, height = 0;
    // The stream only reads the bytes it is given.
    BYTE* encoded = static_cast<BYTE*>(const_cast<void*>(bytes));
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.putVoid())) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(encoded, size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(pixels.put())) ||
        FAILED(pixels->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                  nullptr, 0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(pixels->GetSize(&width, &height)) || width == 0 || height == 0)
        return {};
    *decodedSize = {static_cast<LONG>(width), static_cast<LONG>(height)};
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap = createDibSection(*decodedSize, &bits);
    if (!bitmap || FAILED(pixels->CopyPixels(nullptr, width * 4, width * 4 * height,
                                             static_cast<BYTE*>(bits))))
        return {};
    return bitmap;
}

// HALFTONE gives each new pixel the average colour of the pixels it covers.
GdiObject<HBITMAP> resizedSmoothly(HBITMAP source, SIZE from, SIZE to) {
    void* bits = nullptr;
    GdiObject<HBITMAP> target = createDibSection(to, &bits);
    MemoryDc sourceDc(CreateCompatibleDC(nullptr)), targetDc(CreateCompatibleDC(nullptr));
    if (!target || !sourceDc || !targetDc) return {};
    SelectedObject sourceSelected(sourceDc.get(), source);
    SelectedObject targetSelected(targetDc.get(), target.get());
    SetStretchBltMode(targetDc.get(), HALFTONE);
    SetBrushOrgEx(targetDc.get(), 0, 0, nullptr);  // HALFTONE wants it set after the mode
    StretchBlt(targetDc.get(), 0, 0, to.cx, to.cy, sourceDc.get(), 0, 0, from.cx, from.cy, SRCCOPY);
    return target;
}
}  // namespace

GdiObject<HBITMAP> loadPicture(int resourceId, SIZE size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = findResource(MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    SIZE stored{};
    GdiObject<HBITMAP> picture = decodePicture(bytes, SizeofResource(module, found), &stored);
    if (!picture || (stored.cx == size.cx && stored.cy == size.cy)) return picture;
    return resizedSmoothly(picture.get(), stored, size);
}

IconHandle loadProgramIcon(int resourceId, bool small) {
    using LoadIconMetric = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    auto loadIconMetric =
        reinterpret_cast<LoadIconMetric>(systemFunction(L"comctl32.dll", "LoadIconMetric"));
    HINSTANCE module = GetModuleHandleW(nullptr);
    HICON icon = nullptr;
    const int kSmall = 0, kLarge = 1;  // LIM_SMALL, LIM_LARGE
    if (loadIconMetric && SUCCEEDED(loadIconMetric(module, MAKEINTRESOURCEW(resourceId),
                                                   small ? kSmall : kLarge, &icon)))
        return IconHandle(icon);
    int side = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    return IconHandle(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, side, side, 0)));
}

SIZE clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void drawBitmap(HDC dc, HBITMAP bitmap, const RECT& into) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return;
    MemoryDc memory(CreateCompatibleDC(dc));
    SelectedObject selected(memory.get(), bitmap);
    int width = into.right - into.left, height = into.bottom - into.top;
    if (width == bm.bmWidth && height == bm.bmHeight) {
        BitBlt(dc, into.left, into.top, width, height, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, into.left, into.top, width, height, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight,
               SRCCOPY);
}

void drawBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP bm{};
    if (bitmap && GetObjectW(bitmap, sizeof(bm), &bm))
        drawBitmap(dc, bitmap, RECT{0, 0, bm.bmWidth, bm.bmHeight});
}

void loadLibrariesFromSystemOnly() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    auto setDirectories = reinterpret_cast<SetDirectories>(
        systemFunction(L"kernel32.dll", "SetDefaultDllDirectories"));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void* systemFunction(const wchar_t* dll, const char* name) {
    static std::map<std::wstring, Library> loaded;
    Library& library = loaded[dll];
    if (!library) library.reset(LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return library ? reinterpret_cast<void*>(GetProcAddress(library.get(), name)) : nullptr;
}

void setCoalescableTimer(HWND window, UINT_PTR id, UINT milliseconds) {
    using SetTimerWithTolerance = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static auto setWithTolerance = reinterpret_cast<SetTimerWithTolerance>(
        systemFunction(L"user32.dll", "SetCoalescableTimer"));
    if (!setWithTolerance || !setWithTolerance(window, id, milliseconds, nullptr, 100))
        SetTimer(window, id, milliseconds, nullptr);
}

void useClassicLook(HWND control) {
    using SetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto setTheme =
        reinterpret_cast<SetWindowTheme>(systemFunction(L"uxtheme.dll", "SetWindowTheme"));
    if (setTheme) setTheme(control, L"", L"");
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1));
    return text;
}

}  // namespace toolkit
