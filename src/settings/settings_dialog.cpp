#include "settings/settings_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include "app/resource_ids.h"
#include "platform/text_win32.h"
#include "settings/about_links.h"

#ifndef CALDRIFT_CONTACT_ADDRESS
#define CALDRIFT_CONTACT_ADDRESS "caldrift@example.org"
#endif
#ifndef CALDRIFT_WEB_SITE
#define CALDRIFT_WEB_SITE "https://caldrift.example.org/"
#endif

namespace caldrift {

namespace {
constexpr int kClientWidthTwips = 6150;
constexpr int kClientHeightTwips = 2970;
constexpr TwipRect kTabPlace{0, 0, 6135, 2415};
constexpr int kTabHeightTwips = 520;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kAllTabs = -1;

const wchar_t* const kFirmwareVersions[] = {
    L"1.00", L"1.50", L"1.51", L"2.00", L"2.01", L"2.50", L"2.60", L"2.70", L"2.71", L"2.80",
    L"2.81", L"2.82", L"3.00", L"3.01", L"3.02", L"3.03", L"3.10", L"3.11", L"3.40", L"3.50",
    L"3.51", L"3.52", L"3.70", L"3.71", L"3.72", L"3.73", L"3.80", L"3.90"};

// The blanks put the example on a line of its own in the wrapped label.
const wchar_t kCustomFirmwareNote[] =
    L"N.B. Se \u00e8 un custom firmware selezionare quello a cui si riferisce."
    L"                    ES    3.40 OE    ==>   3.40";

bool checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The tab control paints its tabs and frame; the page inside is button face,
// like the dialog behind the controls that stand on it.
LRESULT CALLBACK paintPageAsButtonFace(HWND tab, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR) {
    if (msg != WM_PAINT) return DefSubclassProc(tab, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(tab, &ps);
    DefSubclassProc(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    RECT page;
    GetClientRect(tab, &page);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    FillRect(dc, &page, GetSysColorBrush(COLOR_BTNFACE));
    EndPaint(tab, &ps);
    return 0;
}
}  // namespace

SettingsDialog::SettingsDialog(std::function<void()> applyToDropWindow)
    : applyToDropWindow_(std::move(applyToDropWindow)) {}

SettingsDialog::~SettingsDialog() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void SettingsDialog::open(HWND owner) {
    if (hwnd_) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        SetForegroundWindow(hwnd_);
        return;
    }
    if (!create(owner)) return;
    // Loading: nothing to apply yet, the first version, centred, then the file.
    EnableWindow(apply_, FALSE);
    SendMessageW(combo1_, CB_SETCURSEL, 0, 0);
    centre();
    filling_ = true;
    readconf(readSettings(folder_), *this);
    filling_ = false;
    previewTransparency();
    followAutoDetection();
    SetTimer(hwnd_, Timer1, 10, nullptr);
    SetTimer(hwnd_, Timer2, 10, nullptr);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

bool SettingsDialog::translate(MSG& msg) { return hwnd_ && IsDialogMessageW(hwnd_, &msg); }

bool SettingsDialog::create(HWND owner) {
    dpi_ = screenDpi();
    registerClass(kClassName, GetSysColorBrush(COLOR_BTNFACE),
                  LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CALDRIFT)));
    RECT outer{0, 0, twipsToPixels(kClientWidthTwips, dpi_), twipsToPixels(kClientHeightTwips, dpi_)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    if (!createWindow(kExStyle, kClassName, L"Opzioni", kStyle, 0, 0, outer.right - outer.left,
                      outer.bottom - outer.top, owner))
        return false;
    createControls();
    return true;
}

void SettingsDialog::createControls() {
    tabControls_.clear();
    font_ = createFont(L"MS Shell Dlg", 8.25, false, dpi_);
    tooltip_ = createTooltip(hwnd_);

    tab_ = place(WC_TABCONTROLW, L"", WS_CLIPSIBLINGS | TCS_FIXEDWIDTH | WS_TABSTOP, kTabPlace, kTab,
                 kAllTabs);
    const wchar_t* captions[] = {L"Settaggi PSP", L"Settaggi Applicazione", L"Informazioni su..."};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(captions[i]);
        SendMessageW(tab_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    // Classic look: the pages are button face, and the three tabs share the row.
    SetWindowTheme(tab_, L"", L"");
    SetWindowSubclass(tab_, paintPageAsButtonFace, 0, 0);
    PixelRect tab = toPixels(kTabPlace, dpi_);
    SendMessageW(tab_, TCM_SETPADDING, 0, MAKELPARAM(2, 2));
    SendMessageW(tab_, TCM_SETITEMSIZE, 0,
                 MAKELPARAM((tab.width - 8) / 3, twipsToPixels(kTabHeightTwips, dpi_)));

    createTab1();
    createTab2();
    createTab3();

    place(L"BUTTON", L"OK", BS_PUSHBUTTON | WS_TABSTOP, {2280, 2520, 1095, 375}, IDOK, kAllTabs);
    place(L"BUTTON", L"Annulla", BS_PUSHBUTTON | WS_TABSTOP, {3600, 2520, 1095, 375}, IDCANCEL, kAllTabs);
    apply_ = place(L"BUTTON", L"Applica", BS_PUSHBUTTON | WS_TABSTOP, {4920, 2520, 1095, 375}, kApply,
                   kAllTabs);
    SetWindowPos(tab_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    showTab(0);
}

HWND SettingsDialog::place(const wchar_t* className, const wchar_t* text, DWORD style,
                           const TwipRect& at, int id, int tab) {
    HWND control = createControl(hwnd_, className, text, style, at, dpi_, id);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (tab != kAllTabs) tabControls_.emplace_back(control, tab);
    return control;
}

void SettingsDialog::createTab1() {
    sizeToText(place(L"STATIC", L"Lettera Drive PSP :", 0, {240, 840, 1365, 195}, kDriveLabel, 0));
    drive1_ = place(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                    {1680, 800, 1335, 315 * 8}, kDrive1, 0);
    fillDrives();
    check4_ = place(L"BUTTON", L"Auto Localizza", BS_AUTOCHECKBOX | WS_TABSTOP,
                    {3360, 840, 1335, 255}, kCheck4, 0);
    sizeToText(place(L"STATIC", L"Versione PSP :", 0, {240, 1560, 1065, 195}, kVersionLabel, 0));
    combo1_ = place(WC_COMBOBOXW, L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                    {1680, 1500, 1335, 315 * 8}, kCombo1, 0);
    for (const wchar_t* version : kFirmwareVersions)
        SendMessageW(combo1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(version));
    note_ = place(L"STATIC", kCustomFirmwareNote, 0, {240, 1920, 5655, 375}, kNoteLabel, 0);
}

void SettingsDialog::createTab2() {
    check1_ = place(L"BUTTON", L"Carica Caldrift all'avvio di Windows", BS_AUTOCHECKBOX | WS_TABSTOP,
                    {240, 840, 3615, 255}, kCheck1, 1);
    sizeToText(place(L"STATIC", L"Trasparenza Form", 0, {240, 1680, 1275, 195}, kTransparencyLabel, 1));
    slider1_ = place(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP,
                     {1680, 1680, 4215, 375}, kSlider1, 1);
    SendMessageW(slider1_, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(slider1_, TBM_SETTICFREQ, 10, 0);
    SendMessageW(slider1_, TBM_SETPAGESIZE, 0, 10);
}

void SettingsDialog::createTab3() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    logo_.bitmap.reset(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    mail_.bitmap = loadEncodedPicture(IDR_MAIL_PICTURE);
    web_.bitmap = loadEncodedPicture(IDR_WEB_PICTURE);
    logo_.control = place(L"STATIC", L"", SS_OWNERDRAW, {120, 360, 960, 975}, kImage1, 2);
    mail_.control = place(L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, {1560, 1560, 1200, 690}, kImage2, 2);
    web_.control = place(L"STATIC", L"", SS_OWNERDRAW | SS_NOTIFY, {3240, 1560, 1200, 690}, kImage3, 2);
    addTooltip(tooltip_, mail_.control, L"Mandami Una Mail");
    addTooltip(tooltip_, web_.control, widen(siteTooltip(CALDRIFT_WEB_SITE)));

    HWND title = place(L"STATIC", L"Caldrift Final 1.0", 0, {1200, 360, 3375, 465}, kTitleLabel, 2);
    HWND author = place(L"STATIC", L"Crated by Norvask", 0, {1200, 840, 2625, 465}, kAuthorLabel, 2);
    const wchar_t* face = fontInstalled(L"Juice ITC") ? L"Juice ITC" : L"Arial";
    titleFont_ = createFittingFont(title, face, 20.25, true, dpi_, L"Caldrift Final 1.0");
    authorFont_ = createFittingFont(author, face, 20.25, true, dpi_, L"Crated by Norvask");
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    SendMessageW(author, WM_SETFONT, reinterpret_cast<WPARAM>(authorFont_.get()), FALSE);
    sizeToText(title);
    sizeToText(author);
}

// Each drive as a drive list shows it, "c: [LABEL]"; the system's current
// drive is chosen.
void SettingsDialog::fillDrives() {
    wchar_t current[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, current);
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
        if (!(drives & (1u << (letter - L'a')))) continue;
        std::wstring root{static_cast<wchar_t>(letter - L'a' + L'A'), L':', L'\\'};
        wchar_t label[MAX_PATH + 1] = L"";
        std::wstring text{letter, L':'};
        if (GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                  nullptr, 0) && label[0])
            text += L" [" + std::wstring(label) + L"]";
        auto index = SendMessageW(drive1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(drive1_, CB_SETITEMDATA, index, letter);
        if (current[1] == L':' && (current[0] | 0x20) == letter)
            SendMessageW(drive1_, CB_SETCURSEL, index, 0);
    }
}

void SettingsDialog::showTab(int tab) {
    for (auto& [control, page] : tabControls_) ShowWindow(control, page == tab ? SW_SHOW : SW_HIDE);
}

void SettingsDialog::centre() {
    RECT r;
    GetWindowRect(hwnd_, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDialog::setAutomaticDrive(bool automatic) {
    SendMessageW(check4_, BM_SETCHECK, automatic ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsDialog::setFirmware(const std::string& version) {
    SetWindowTextW(combo1_, widen(version).c_str());
}

void SettingsDialog::setStartWithWindows(bool on) {
    SendMessageW(check1_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsDialog::setSliderPosition(int position) {
    SendMessageW(slider1_, TBM_SETPOS, TRUE, position);
}

std::string SettingsDialog::selectedDrive() const {
    auto index = SendMessageW(drive1_, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return "";
    auto letter = static_cast<char>(SendMessageW(drive1_, CB_GETITEMDATA, index, 0));
    return std::string{letter, ':'};
}

SettingsForm SettingsDialog::form() const {
    SettingsForm form;
    form.automaticDrive = checked(check4_);
    form.drive = selectedDrive();
    form.firmware = narrow(windowText(combo1_));
    form.startWithWindows = checked(check1_);
    form.transparency = static_cast<int>(SendMessageW(slider1_, TBM_GETPOS, 0, 0));
    return form;
}

// A failed save is said, and the dialog keeps the user's changes.
bool SettingsDialog::saveconf() {
    if (saveSettings(folder_, form())) return true;
    MessageBoxW(hwnd_, L"Impossibile salvare le impostazioni in Setting.INI", L"Errore", MB_ICONERROR);
    return false;
}

void SettingsDialog::changed() {
    if (!filling_) EnableWindow(apply_, TRUE);
}

void SettingsDialog::ok() {
    if (saveconf()) close();
}

void SettingsDialog::apply() {
    if (!saveconf()) return;
    EnableWindow(apply_, FALSE);
    applyToDropWindow_();
}

void SettingsDialog::close() { DestroyWindow(hwnd_); }

void SettingsDialog::previewTransparency() {
    int opacity = static_cast<int>(SendMessageW(slider1_, TBM_GETPOS, 0, 0)) + 155;
    if (opacity == shownOpacity_) return;
    SetTransparency(hwnd_, opacity);
    shownOpacity_ = opacity;
}

void SettingsDialog::followAutoDetection() {
    bool enable = !checked(check4_);
    if ((IsWindowEnabled(drive1_) != FALSE) != enable) EnableWindow(drive1_, enable);
}

void SettingsDialog::onCommand(int id, int code) {
    switch (id) {
    case kCheck1:
    case kCheck4:
        if (code == BN_CLICKED) changed();
        break;
    case kCombo1:
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) changed();
        break;
    case kDrive1:
        if (code == CBN_SELCHANGE) changed();
        break;
    case kImage2:
        if (code == STN_CLICKED)
            ShellExecuteW(hwnd_, nullptr, widen(mailLink(CALDRIFT_CONTACT_ADDRESS)).c_str(), nullptr,
                          nullptr, SW_SHOWNORMAL);
        break;
    case kImage3:
        if (code == STN_CLICKED)
            ShellExecuteW(hwnd_, nullptr, widen(CALDRIFT_WEB_SITE).c_str(), nullptr, nullptr,
                          SW_SHOWNORMAL);
        break;
    case IDOK: ok(); break;
    case IDCANCEL: close(); break;
    case kApply: apply(); break;
    }
}

void SettingsDialog::drawPicture(const DRAWITEMSTRUCT& item) {
    const Picture* picture = item.hwndItem == logo_.control  ? &logo_
                             : item.hwndItem == mail_.control ? &mail_
                                                              : &web_;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!picture->bitmap) return;
    BITMAP bm{};
    GetObjectW(picture->bitmap.get(), sizeof(bm), &bm);
    HDC memory = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(memory, picture->bitmap.get());
    SetStretchBltMode(item.hDC, HALFTONE);
    StretchBlt(item.hDC, 0, 0, item.rcItem.right, item.rcItem.bottom, memory, 0, 0, bm.bmWidth,
               bm.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

LRESULT SettingsDialog::colorStatic(HDC dc, HWND control) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, control == note_ ? kRed : GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT SettingsDialog::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == tab_ && header->code == TCN_SELCHANGE)
            showTab(static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == slider1_) changed();
        return 0;
    case WM_TIMER:
        wParam == Timer1 ? previewTransparency() : followAutoDetection();
        return 0;
    case WM_DRAWITEM: drawPicture(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_CTLCOLORSTATIC:
        return colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE: close(); return 0;
    case WM_DESTROY:
        shownOpacity_ = -1;
        return 0;
    default: return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

}  // namespace caldrift
