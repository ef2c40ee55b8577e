#include "settings/settings_dialog_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>

#include "common/colours.h"
#include "common/language.h"
#include "common/utf8.h"
#include "settings/about_links.h"
#include "settings/settings_win32.h"
#include "text_ids.h"
#include "toolkit/bitmaps.h"
#include "toolkit/controls.h"
#include "toolkit/fonts.h"
#include "toolkit/message_boxes.h"
#include "toolkit/pictures.h"
#include "toolkit/screen.h"
#include "toolkit/system_functions.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;
using namespace settings_dialog;

namespace {
constexpr int kClientWidthTwips = 6150;
constexpr int kClientHeightTwips = 2970;
constexpr int kTabHeightTwips = 520;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

const wchar_t* const kFirmwareVersions[] = {
    L"1.00", L"1.50", L"1.51", L"2.00", L"2.01", L"2.50", L"2.60", L"2.70", L"2.71", L"2.80",
    L"2.81", L"2.82", L"3.00", L"3.01", L"3.02", L"3.03", L"3.10", L"3.11", L"3.40", L"3.50",
    L"3.51", L"3.52", L"3.70", L"3.71", L"3.72", L"3.73", L"3.80", L"3.90"};

constexpr int kAllTabs = -1;
struct DialogControl {
    ControlSpec control;
    int tab;
};
constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kList = WS_VSCROLL | WS_TABSTOP;
constexpr DialogControl kControls[] = {
    {{WC_TABCONTROLW, WS_CLIPSIBLINGS | TCS_FIXEDWIDTH | WS_TABSTOP, {0, 0, 6135, 2415}, kTab},
     kAllTabs},
    {{L"STATIC", 0, {240, 840, 1365, 195}, kDriveLabel, IDS_DRIVE_LETTER}, 0},
    {{WC_COMBOBOXW, CBS_DROPDOWNLIST | kList, {1680, 800, 1335, 315 * 8}, kDriveList}, 0},
    {{L"BUTTON", kCheckBox, {3360, 840, 1335, 255}, kAutoDetection, IDS_FIND_BY_ITSELF}, 0},
    {{L"STATIC", 0, {240, 1560, 1065, 195}, kVersionLabel, IDS_PSP_VERSION}, 0},
    {{WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | kList, {1680, 1500, 1335, 315 * 8}, kFirmware},
     0},
    // The Italian note's blanks put the example on a line of its own in the wrapped label.
    {{L"STATIC", 0, {240, 1920, 5655, 375}, kNoteLabel, IDS_CUSTOM_FIRMWARE_NOTE}, 0},
    {{L"BUTTON", kCheckBox, {240, 840, 3615, 255}, kStartWithWindows, IDS_START_WITH_WINDOWS}, 1},
    {{L"STATIC", 0, {240, 1680, 1275, 195}, kTransparencyLabel, IDS_TRANSPARENCY}, 1},
    {{TRACKBAR_CLASSW,
      TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP,
      {1680, 1680, 4215, 375},
      kTransparency},
     1},
    {{L"STATIC", SS_OWNERDRAW, {120, 360, 960, 975}, kLogo}, 2},
    {{L"STATIC", SS_OWNERDRAW | SS_NOTIFY, {1560, 1560, 1200, 690}, kMail}, 2},
    {{L"STATIC", SS_OWNERDRAW | SS_NOTIFY, {3240, 1560, 1200, 690}, kWebSite}, 2},
    {{L"STATIC", 0, {1200, 360, 3375, 465}, kTitleLabel, IDS_PRODUCT_TITLE}, 2},
    {{L"STATIC", 0, {1200, 840, 2625, 465}, kAuthorLabel, IDS_AUTHOR}, 2},
    {{L"BUTTON", kButton, {2280, 2520, 1095, 375}, IDOK, IDS_OK}, kAllTabs},
    {{L"BUTTON", kButton, {3600, 2520, 1095, 375}, IDCANCEL, IDS_CANCEL}, kAllTabs},
    {{L"BUTTON", kButton, {4920, 2520, 1095, 375}, kApply, IDS_APPLY}, kAllTabs},
};
constexpr int kLabelsSizedToText[] = {kDriveLabel, kVersionLabel, kTransparencyLabel};

bool checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void setChecked(HWND box, bool on) {
    SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The tab control paints its tabs and frame; the page inside is button face,
// like the dialog behind the controls that stand on it.
LRESULT CALLBACK paintPageAsButtonFace(HWND tab, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR) {
    if (msg != WM_PAINT) return DefSubclassProc(tab, msg, wParam, lParam);
    PaintDc dc(tab);
    DefSubclassProc(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    RECT page;
    GetClientRect(tab, &page);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    FillRect(dc.get(), &page, GetSysColorBrush(COLOR_BTNFACE));
    return 0;
}
}  // namespace

SettingsDialog::SettingsDialog(SettingsFolder& folder, std::function<void()> applyToDropWindow,
                               std::function<void(bool)> messageBoxOpen)
    : folder_(folder),
      applyToDropWindow_(std::move(applyToDropWindow)),
      messageBoxOpen_(std::move(messageBoxOpen)) {}

void SettingsDialog::open(HWND owner) {
    if (hwnd_) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        SetForegroundWindow(hwnd_);
        return;
    }
    if (!create(owner)) return;
    // Loading: nothing to apply yet, the first version, then the file.
    EnableWindow(control(kApply), FALSE);
    SendMessageW(control(kFirmware), CB_SETCURSEL, 0, 0);
    filling_ = true;
    readconf(readSettings(folder_), *this);
    filling_ = false;
    previewTransparency();
    followAutoDetection();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

bool SettingsDialog::translate(MSG& msg) { return hwnd_ && IsDialogMessageW(hwnd_, &msg); }

bool SettingsDialog::create(HWND owner) {
    dpi_ = screenDpi();
    if (!registerClass(kClassName, GetSysColorBrush(COLOR_BTNFACE), programIcon(false),
                       programIcon(true)) ||
        !createWindow({kClassName, words(IDS_OPTIONS).c_str(), kStyle, kExStyle, kClientWidthTwips,
                       kClientHeightTwips, owner, true},
                      dpi_))
        return false;
    createControls();
    matchWindowDpi(hwnd_, dpi_);
    centreOnScreen(hwnd_);  // again, should the monitor's scaling have changed its size
    return true;
}

void SettingsDialog::createControls() {
    tooltip_ = createTooltip(hwnd_);
    for (const DialogControl& c : kControls) createControl(hwnd_, c.control, dpi_);
    setUpTabs();
    fillLists();
    addTooltip(tooltip_, control(kMail), words(IDS_MAIL_TIP));
    addTooltip(tooltip_, control(kWebSite), widen(siteTooltip(CALDRIFT_WEB_SITE)));
    setFontsAndPictures();
    SetWindowPos(control(kTab), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    showTab(0);
}

void SettingsDialog::setUpTabs() {
    HWND tab = control(kTab);
    const int captions[] = {IDS_TAB_PSP, IDS_TAB_PROGRAM, IDS_TAB_ABOUT};
    for (int i = 0; i < 3; ++i) {
        std::wstring caption = words(captions[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    // Classic look: the pages are button face, and the three tabs share the row.
    useClassicLook(tab);
    SetWindowSubclass(tab, paintPageAsButtonFace, 0, 0);
    SendMessageW(tab, TCM_SETPADDING, 0, MAKELPARAM(2, 2));
}

void SettingsDialog::fillLists() {
    fillDrives();
    for (const wchar_t* version : kFirmwareVersions)
        SendMessageW(control(kFirmware), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(version));
    HWND slider = control(kTransparency);
    SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageW(slider, TBM_SETTICFREQ, 10, 0);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 10);
}

// Everything whose size follows the DPI, beyond the controls' places.
void SettingsDialog::setFontsAndPictures() {
    font_ = createFont({L"MS Shell Dlg", 8.25}, dpi_);
    for (const DialogControl& c : kControls) setFont(control(c.control.id), font_);
    for (int id : kLabelsSizedToText) sizeToText(control(id));
    PixelRect tabs = toPixels(kControls[0].control.place, dpi_);
    SendMessageW(control(kTab), TCM_SETITEMSIZE, 0,
                 MAKELPARAM((tabs.width - 8) / 3, twipsToPixels(kTabHeightTwips, dpi_)));

    const wchar_t* face = fontInstalled(L"Juice ITC") ? L"Juice ITC" : L"Arial";
    setFittingFont(control(kTitleLabel), {face, 20.25, true}, dpi_, titleFont_);
    setFittingFont(control(kAuthorLabel), {face, 20.25, true}, dpi_, authorFont_);
    sizeToText(control(kTitleLabel));
    sizeToText(control(kAuthorLabel));
    loadPictures();
}

void SettingsDialog::onDpiChanged(WPARAM wParam, LPARAM lParam) {
    dpi_ = takeDpiChange(hwnd_, wParam, lParam);
    for (const DialogControl& c : kControls)
        placeControl(control(c.control.id), c.control.place, dpi_);
    setFontsAndPictures();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// Each picture at the size of the control it is drawn in.
void SettingsDialog::loadPictures() {
    logo_ = programPicture(Picture::Logo, clientSize(control(kLogo)));
    mail_ = programPicture(Picture::Mail, clientSize(control(kMail)));
    web_ = programPicture(Picture::Web, clientSize(control(kWebSite)));
}

namespace {
// What a drive list shows for a drive, "c: [LABEL]". Only disks are asked
// for their label: a network drive shows the name Windows keeps for its
// share, without asking the server, and a CD drive is not spun up.
std::wstring driveListText(wchar_t letter) {
    std::wstring text{letter, L':'};
    std::wstring root = text + L"\\";
    wchar_t name[MAX_PATH + 1] = L"";
    switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_REMOVABLE:
    case DRIVE_FIXED:
        if (!GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                   nullptr, 0))
            name[0] = L'\0';
        break;
    case DRIVE_REMOTE: {
        auto getConnection = late::WNetGetConnectionW();
        DWORD size = MAX_PATH + 1;
        if (!getConnection || getConnection(text.c_str(), name, &size) != NO_ERROR) name[0] = L'\0';
        break;
    }
    }
    if (name[0]) text += L" [" + std::wstring(name) + L"]";
    return text;
}

}  // namespace

// The system's current drive is chosen until the settings say otherwise.
void SettingsDialog::fillDrives() {
    HWND list = control(kDriveList);
    wchar_t current[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, current);
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
        if (!(drives & (1u << (letter - L'a')))) continue;
        std::wstring text = driveListText(letter);
        auto index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, CB_SETITEMDATA, index, letter);
        if (current[1] == L':' && utf8::asciiLowerChar(current[0]) == letter)
            SendMessageW(list, CB_SETCURSEL, index, 0);
    }
}

void SettingsDialog::showTab(int tab) {
    for (const DialogControl& c : kControls)
        if (c.tab != kAllTabs) ShowWindow(control(c.control.id), c.tab == tab ? SW_SHOW : SW_HIDE);
}

void SettingsDialog::setAutomaticDrive(bool automatic) {
    setChecked(control(kAutoDetection), automatic);
}

void SettingsDialog::setDrive(const std::string& drive) {
    if (drive.size() != 2 || drive[1] != ':') return;
    HWND list = control(kDriveList);
    auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index)
        if (utf8::asciiLowerChar(SendMessageW(list, CB_GETITEMDATA, index, 0)) ==
            utf8::asciiLowerChar(drive[0]))
            SendMessageW(list, CB_SETCURSEL, index, 0);
}

void SettingsDialog::setFirmware(const std::string& version) {
    SetWindowTextW(control(kFirmware), widen(version).c_str());
}

void SettingsDialog::setStartWithWindows(bool on) { setChecked(control(kStartWithWindows), on); }

void SettingsDialog::setSliderPosition(int position) {
    SendMessageW(control(kTransparency), TBM_SETPOS, TRUE, position);
}

std::string SettingsDialog::selectedDrive() const {
    HWND list = control(kDriveList);
    auto index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return "";
    auto letter = static_cast<char>(SendMessageW(list, CB_GETITEMDATA, index, 0));
    return std::string{letter, ':'};
}

SettingsForm SettingsDialog::form() const {
    SettingsForm form;
    form.automaticDrive = checked(control(kAutoDetection));
    form.drive = selectedDrive();
    form.firmware = narrow(windowText(control(kFirmware)));
    form.startWithWindows = checked(control(kStartWithWindows));
    form.transparency = static_cast<int>(SendMessageW(control(kTransparency), TBM_GETPOS, 0, 0));
    form.compressImages = readSettings(folder_).compressImages();  // the menu's, not the dialog's
    return form;
}

// A failed save is said, with the system's reason, and the dialog keeps the user's changes.
bool SettingsDialog::saveconf() {
    if (saveSettings(folder_, form())) return true;
    messageBoxOpen_(true);
    MessageBoxService(hwnd_).show(notSavedText(folder_), say(IDS_ERROR), kMessageError);
    messageBoxOpen_(false);
    return false;
}

void SettingsDialog::changed() {
    if (!filling_) EnableWindow(control(kApply), TRUE);
}

void SettingsDialog::ok() {
    if (saveconf()) destroy();
}

void SettingsDialog::apply() {
    if (!saveconf()) return;
    EnableWindow(control(kApply), FALSE);
    applyToDropWindow_();
}

// The slider's position shows on the dialog itself before it is applied.
void SettingsDialog::previewTransparency() {
    SetTransparency(hwnd_,
                    static_cast<int>(SendMessageW(control(kTransparency), TBM_GETPOS, 0, 0)) +
                        kOpacityOfSliderZero);
}

void SettingsDialog::followAutoDetection() {
    EnableWindow(control(kDriveList), !checked(control(kAutoDetection)));
}

void SettingsDialog::onCommand(int id, int code) {
    switch (id) {
    case kStartWithWindows:
        if (code == BN_CLICKED) changed();
        break;
    case kAutoDetection:
        if (code == BN_CLICKED) changed(), followAutoDetection();
        break;
    case kFirmware:
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) changed();
        break;
    case kDriveList:
        if (code == CBN_SELCHANGE) changed();
        break;
    case kMail:
        if (code == STN_CLICKED)
            ShellExecuteW(hwnd_, nullptr, widen(mailLink(CALDRIFT_CONTACT_ADDRESS)).c_str(),
                          nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case kWebSite:
        if (code == STN_CLICKED)
            ShellExecuteW(hwnd_, nullptr, widen(CALDRIFT_WEB_SITE).c_str(), nullptr, nullptr,
                          SW_SHOWNORMAL);
        break;
    case IDOK: ok(); break;
    case IDCANCEL: destroy(); break;
    case kApply: apply(); break;
    }
}

void SettingsDialog::drawPicture(const DRAWITEMSTRUCT& item) {
    const GdiObject<HBITMAP>& picture = item.CtlID == kLogo   ? logo_
                                        : item.CtlID == kMail ? mail_
                                                              : web_;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    drawBitmap(item.hDC, picture.get(), item.rcItem);
}

LRESULT SettingsDialog::colorStatic(HDC dc, HWND control) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetDlgCtrlID(control) == kNoteLabel ? kRed : GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT SettingsDialog::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND: onCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == kTab && header->code == TCN_SELCHANGE)
            showTab(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == control(kTransparency))
            changed(), previewTransparency();
        return 0;
    case WM_DRAWITEM: drawPicture(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_CTLCOLORSTATIC:
        return colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE: destroy(); return 0;
    case WM_DPICHANGED: onDpiChanged(wParam, lParam); return 0;
    default: return defaultHandling(msg, wParam, lParam);
    }
}

}  // namespace caldrift
