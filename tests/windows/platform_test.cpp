#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>

#include "drive/drive_probe_win32.h"
#include "dropwindow/drop_window_win32.h"
#include "settings/about_links.h"
#include "settings/settings_dialog_win32.h"
#include "transfer/file_system_win32.h"
#include "settings/settings_win32.h"
#include "transfer/shell_copy_win32.h"
#include "toolkit/text.h"

using namespace caldrift;
using namespace toolkit;

namespace {
namespace fs = std::filesystem;

// A scratch folder under the temp directory, removed with its content.
struct Scratch : ::testing::Test {
    std::string root;

    void SetUp() override {
        root = narrow((fs::temp_directory_path() / "caldrift-test-").wstring()) +
               std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directory(widen(root));
    }
    void TearDown() override { fs::remove_all(widen(root)); }
    std::string write(const std::string& relative, const std::string& bytes,
                      DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = root + "\\" + relative;
        std::ofstream(fs::path(widen(path)), std::ios::binary) << bytes;
        SetFileAttributesW(widen(path).c_str(), attributes);
        return path;
    }
    void folder(const std::string& name) { fs::create_directories(widen(root + "\\" + name)); }
    std::string read(const std::string& path) {
        std::ifstream in(fs::path(widen(path)), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
};
}  // namespace

TEST_F(Scratch, LookupsAndListingsLeaveOutHiddenEntries) {
    Win32FileSystem files;
    folder("Game\\DATA");
    write("Game\\EBOOT.PBP", "a");
    write("Game\\ICON0.PNG", "b");
    write("Game\\thumbs.db", "c", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    write("Game\\hidden.pbp", "x", FILE_ATTRIBUTE_HIDDEN);
    const std::string game = root + "\\Game";
    EXPECT_EQ(lookupEntry(game.c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntry(widen(game + "\\EBOOT.PBP").c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntry(widen(game + "\\hidden.pbp").c_str()), Lookup::Missing);
    EXPECT_EQ(lookupEntry((root + "\\nothing").c_str()), Lookup::Missing);
    EXPECT_NE(lookupEntry((root + "\\nothing\\deeper").c_str()), Lookup::Found);

    EXPECT_EQ(files.typeOf(game + "\\hidden.pbp"), PathType::File);  // the user dropped it
    EXPECT_EQ(files.typeOf(game), PathType::Folder);
    EXPECT_EQ(files.typeOf(root + "\\nothing"), PathType::Missing);
    EXPECT_EQ(files.fileSize(game + "\\ICON0.PNG"), 1u);
    EXPECT_EQ(files.fileSize(game), std::nullopt);
    EXPECT_TRUE(files.flush(game + "\\ICON0.PNG"));
    std::string kept = write("kept.txt", "k", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.flush(kept));
    EXPECT_TRUE(GetFileAttributesW(widen(kept).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(widen(kept).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(files.flush(root + "\\nothing"));
    std::optional<DriveSpace> space = files.space(root.substr(0, 2));
    ASSERT_TRUE(space);
    EXPECT_GT(space->available, 0u);
    EXPECT_GT(space->cluster, 0u);
    EXPECT_TRUE(files.entryExists(game));
    FileSystem::Listing listing = files.list(game);
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(listing.files.size(), 2u);
    EXPECT_EQ(listing.files[0].size + listing.files[1].size, 2u);
    EXPECT_EQ(listing.folders, std::vector<std::string>{"DATA"});
    EXPECT_FALSE(files.list(root + "\\Gone").ok);
}

// One operation sends each file to its own full path, making the folders on the way.
TEST_F(Scratch, ShellCopyKeepsUnicodeNamesMakesMissingFoldersAndFailsWithoutASource) {
    Win32ShellCopy shell;
    auto copies = [](std::vector<std::pair<std::string, std::string>> pairs) {
        std::vector<FileCopy> list;
        for (auto& [from, to] : pairs) list.push_back({from, to, 0, {}, false});
        return list;
    };
    std::string name = "\xE6\x9B\xB2 \xCE\xB1\xCE\xB2.mp3";  // a Japanese and a Greek word
    std::string song = root + "\\stick\\MUSIC\\Album\\" + name;
    std::string picture = root + "\\stick\\PICTURE\\Album\\CD2\\cover.jpg";
    auto album = copies({{write(name, "music bytes"), song}, {write("c.jpg", "picture"), picture}});
    EXPECT_EQ(shell.copy(album), CopyResult::Copied);
    EXPECT_EQ(read(song), "music bytes");
    EXPECT_EQ(read(picture), "picture");
    EXPECT_EQ(shell.copy(copies({{write("one.jpg", "one"), root + "\\single\\one.jpg"}})),
              CopyResult::Copied);
    EXPECT_EQ(read(root + "\\single\\one.jpg"), "one");
    EXPECT_NE(shell.copy(copies({{root + "\\absent.jpg", root + "\\out\\absent.jpg"}})),
              CopyResult::Copied);
    EXPECT_EQ(read(root + "\\out\\absent.jpg"), "<missing>");
}

TEST(DriveProbe, KnowsTheSystemDrive) {
    Win32DriveProbe probe;
    EXPECT_TRUE(probe.existingDrives() & (1u << ('C' - 'A')));
    EXPECT_EQ(probe.driveType("C:"), static_cast<unsigned>(DRIVE_FIXED));
    EXPECT_EQ(probe.driveType("Q:"), static_cast<unsigned>(DRIVE_NO_ROOT_DIR));
}

// Text in a code page, through the system's own conversion.
std::string inPage(const std::wstring& text, UINT page) {
    char bytes[256];
    int n = WideCharToMultiByte(page, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, n > 0 ? n - 1 : 0);
}

// Whatever the machine's ANSI code page, the file holds what that page keeps
// of the text, and reading gives it back.
TEST_F(Scratch, SettingsAreWrittenAndReadInTheAnsiCodePage) {
    Win32SettingsFolder folder(root);
    ASSERT_TRUE(saveSettings(folder, SettingsForm{false, "e:", "3.40 OE \u00e8\u00e9", true, 40}));
    std::string ansi = inPage(L"3.40 OE \u00e8\u00e9", CP_ACP);  // an Italian note
    EXPECT_NE(read(root + "\\Setting.INI").find("\r\nPSP Versione = " + ansi + "\r\n"),
              std::string::npos);
    EXPECT_EQ(inPage(widen(readSettings(folder).firmwareVersion().value_or("")), CP_ACP), ansi);
    EXPECT_EQ(read(root + "\\Setting.INI.new"), "<missing>");
}

TEST_F(Scratch, ASaveThatCannotWriteLeavesTheOldFileWhole) {
    std::string old = "[PSP Setting]\r\nDrive = f:\r\n";
    write("Setting.INI", old);
    folder("Setting.INI.new");  // nothing can be created under that name
    Win32SettingsFolder settings(root);
    EXPECT_FALSE(saveSettings(settings, SettingsForm{}));
    EXPECT_EQ(read(root + "\\Setting.INI"), old);

    Win32SettingsFolder missing(root + "\\no such folder");
    EXPECT_FALSE(saveSettings(missing, SettingsForm{}));
    EXPECT_FALSE(missing.read("Setting.INI").has_value());
}

TEST(Registry, SetRegValueWritesTextAndKeepsANumbersType) {
    const std::string key = "Software\\CaldriftTest";
    RegistryKey k;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, widen(key).c_str(), k.put()), ERROR_SUCCESS);
    Win32Registry registry;
    auto set = [&](const char* data) {
        return SetRegValue(registry, RegistryRoot::CurrentUser, key, "Caldrift", data);
    };
    wchar_t text[64] = L"";
    DWORD size = sizeof text, number = 7;
    ASSERT_TRUE(set("\"C:\\Program Files\\Caldrift.exe\""));
    EXPECT_EQ(RegGetValueW(k.get(), nullptr, L"Caldrift", RRF_RT_REG_SZ, nullptr, text, &size), 0);
    EXPECT_STREQ(text, L"\"C:\\Program Files\\Caldrift.exe\"");
    RegSetValueExW(k.get(), L"Caldrift", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    ASSERT_TRUE(set("42"));
    size = sizeof number;
    EXPECT_EQ(
        RegGetValueW(k.get(), nullptr, L"Caldrift", RRF_RT_REG_DWORD, nullptr, &number, &size), 0);
    EXPECT_EQ(number, 42u);
    EXPECT_FALSE(SetRegValue(registry, RegistryRoot::CurrentUser, "Software\\CaldriftNoSuchKey",
                             "Caldrift", "x"));
    RegDeleteKeyW(HKEY_CURRENT_USER, widen(key).c_str());
}

TEST(Transparency, OnlyAByteOfOpacityMakesTheWindowLayered) {
    for (int opacity : {195, 256, -1, 300}) {
        HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                      nullptr, nullptr, nullptr, nullptr);
        SetTransparency(window, opacity);
        BYTE alpha = 0;
        DWORD flags = 0;
        bool layered = GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED;
        EXPECT_EQ(layered, opacity == 195) << opacity;
        if (layered) {
            ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
            EXPECT_EQ(std::make_pair(alpha, flags), std::make_pair(BYTE{195}, DWORD{LWA_ALPHA}));
        }
        DestroyWindow(window);
    }
}

// Each item's text and what choosing it does, as the drop window builds them.
TEST(PopupMenu, OffersTheSettingsThenExitLast) {
    MenuHandle menu = createPopupMenu();
    std::vector<std::pair<UINT, std::wstring>> items;
    for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu.get(), i, text, 64, MF_BYPOSITION);
        items.emplace_back(GetMenuItemID(menu.get(), i), text);
    }
    EXPECT_EQ(items,
              (decltype(items){{kMenuSetting, L"Impostazioni"}, {0, L""}, {kMenuExit, L"Exit"}}));
    EXPECT_TRUE(GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_SEPARATOR);
}

BOOL CALLBACK collectTooltips(HWND window, LPARAM found) {
    wchar_t name[64];
    if (GetClassNameW(window, name, 64) && _wcsicmp(name, TOOLTIPS_CLASSW) == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// Texts that live where no other program can read them: the tabs' captions and the tooltips.
TEST_F(Scratch, SettingsDialogNamesItsTabsAndItsLinks) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    Win32SettingsFolder folder(root);
    SettingsDialog dialog(folder, [] {});
    dialog.open(nullptr);
    HWND window = FindWindowW(SettingsDialog::kClassName, nullptr);
    ASSERT_TRUE(window);
    wchar_t text[128];
    HWND tab = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    std::vector<std::wstring> tabs;
    for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT, item.pszText = text, item.cchTextMax = 128;
        if (TabCtrl_GetItem(tab, i, &item)) tabs.push_back(item.pszText);
    }
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Settaggi PSP", L"Settaggi Applicazione",
                                               L"Informazioni su..."}));

    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), collectTooltips, reinterpret_cast<LPARAM>(&tips));
    std::vector<std::wstring> tools;
    for (HWND tip : tips)
        for (int i = 0; i < SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool, tool.lpszText = text;
            if (SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)))
                tools.push_back(text);
        }
    EXPECT_EQ(tools, (std::vector<std::wstring>{L"Mandami Una Mail",
                                                widen(siteTooltip(CALDRIFT_WEB_SITE))}));
}
