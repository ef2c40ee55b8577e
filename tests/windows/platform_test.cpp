#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "drive/drive_probe_win32.h"
#include "dropwindow/drop_window_win32.h"
#include "settings/about_links.h"
#include "settings/settings_dialog_win32.h"
#include "transfer/compression_progress_win32.h"
#include "transfer/file_system_win32.h"
#include "settings/settings_win32.h"
#include "splash/splash_window_win32.h"
#include "common/language.h"
#include "toolkit/failure.h"
#include "toolkit/message_boxes.h"
#include "toolkit/screen.h"
#include "transfer/safekeeping_win32.h"
#include "transfer/shell_copy_win32.h"
#include "toolkit/text.h"

using namespace caldrift;
using namespace toolkit;

namespace {
namespace fs = std::filesystem;

constexpr LANGID kItalian = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const bool speaksItalian = (useResourceLanguage(kItalian), usePhrasebook(resourceText), true);
const INITCOMMONCONTROLSEX kControls{sizeof kControls, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
const bool hasControls = InitCommonControlsEx(&kControls);  // the settings dialog's tab and slider

// A scratch folder under the temp directory, removed with its content.
struct Scratch : ::testing::Test {
    std::string root = narrow((fs::temp_directory_path() / "caldrift-test-").wstring()) +
                       std::to_string(GetCurrentProcessId()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name();

    void SetUp() override { fs::create_directory(widen(root)); }
    void TearDown() override { fs::remove_all(widen(root)); }
    std::string write(const std::string& relative, const std::string& bytes,
                      DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = root + "\\" + relative;
        fs::create_directories(fs::path(widen(path)).parent_path());
        std::ofstream(fs::path(widen(path)), std::ios::binary) << bytes;
        SetFileAttributesW(widen(path).c_str(), attributes);
        return path;
    }
    std::string read(const std::string& path) {
        std::ifstream in(fs::path(widen(path)), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
};
}  // namespace

TEST_F(Scratch, FileSystemLeavesOutHiddenEntriesAndReachesLongAndReadOnlyOnes) {
    Win32FileSystem files;
    const std::string game = root + "\\Game";
    fs::create_directories(widen(game + "\\DATA"));
    write("Game\\EBOOT.PBP", "a");
    std::string icon = write("Game\\ICON0.PNG", "bc", FILE_ATTRIBUTE_READONLY);
    write("Game\\thumbs.db", "c", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    write("Game\\hidden.pbp", "x", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(files.flush(icon));  // the attribute is lifted for the flush and put back
    EXPECT_TRUE(GetFileAttributesW(widen(icon).c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(widen(icon).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(lookupEntry(game.c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntry(widen(game + "\\hidden.pbp").c_str()), Lookup::Missing);
    EXPECT_EQ(lookupEntry((root + "\\nothing").c_str()), Lookup::Missing);
    EXPECT_EQ(files.typeOf(game + "\\hidden.pbp"), PathType::File);  // the user dropped it
    EXPECT_EQ(files.typeOf(game), PathType::Folder);
    EXPECT_NE(files.folderIdentity(game), "");
    EXPECT_NE(files.folderIdentity(game + "\\DATA"), files.folderIdentity(game));
    EXPECT_EQ(files.fileSize(icon), 2u);
    EXPECT_EQ(files.fileSize(game), std::nullopt);
    FileSystem::Listing listing = files.list(game);
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(listing.files.size(), 2u);
    EXPECT_EQ(listing.files[0].size + listing.files[1].size, 3u);
    EXPECT_EQ(listing.folders, std::vector<std::string>{"DATA"});
    EXPECT_FALSE(files.list(root + "\\Gone").ok);
    EXPECT_FALSE(files.flush(root + "\\nothing"));
    std::optional<DriveSpace> space = files.space(root.substr(0, 2));
    ASSERT_TRUE(space);
    EXPECT_GT(space->available * space->cluster, 0u);
    EXPECT_EQ(Win32DriveProbe().driveType(root.substr(0, 2)), unsigned{DRIVE_FIXED});
    EXPECT_EQ(files.upperCase("\u00e9t\u00e9 \u0101 a"), "\u00c9T\u00c9 \u0100 A");  // as FAT folds
    // Past MAX_PATH, with a trailing dot that a plain path would lose.
    const std::wstring longer = L"\\\\?\\" + widen(root) + L"\\" + std::wstring(250, L'x');
    CreateDirectoryW(longer.c_str(), nullptr);
    CreateDirectoryW((longer + L"\\Game.").c_str(), nullptr);
    EXPECT_TRUE(files.entryExists(narrow(longer.substr(4)) + "\\Game."));
    EXPECT_TRUE(files.list(narrow(longer.substr(4)) + "\\Game.").ok);
    RemoveDirectoryW((longer + L"\\Game.").c_str());
    RemoveDirectoryW(longer.c_str());
}

// One operation sends each file to its own full path, making the folders on the way.
TEST_F(Scratch, ShellCopyKeepsUnicodeNamesMakesMissingFoldersAndFailsWithoutASource) {
    Win32ShellCopy shell;
    auto copy = [&](std::vector<std::pair<std::string, std::string>> pairs) {
        std::vector<FileCopy> list;
        for (auto& [from, to] : pairs) list.push_back({from, to, 0, {}, false});
        return shell.copy(list);
    };
    std::string name = "\xE6\x9B\xB2 \xCE\xB1\xCE\xB2.mp3";  // a Japanese and a Greek word
    std::string song = root + "\\stick\\MUSIC\\Album\\" + name;
    std::string picture = root + "\\stick\\PICTURE\\Album\\CD2\\cover.jpg";
    EXPECT_EQ(copy({{write(name, "music bytes"), song}, {write("c.jpg", "picture"), picture}}),
              CopyResult::Copied);
    EXPECT_EQ(read(song) + read(picture), "music bytespicture");
    EXPECT_EQ(copy({{write("one.jpg", "one"), root + "\\single\\one.jpg"}}), CopyResult::Copied);
    EXPECT_EQ(read(root + "\\single\\one.jpg"), "one");
    EXPECT_NE(copy({{root + "\\absent.jpg", root + "\\out\\absent.jpg"}}), CopyResult::Copied);
}

// A new file, and the folders on its way, written at its end and in place,
// while the shell's progress window shows until it is ended.
TEST_F(Scratch, ANewFileIsWrittenUnderTheShellsProgressWindow) {
    OleSession ole;
    Win32FileSystem files;
    Win32CompressionProgress progress;
    std::string cso = root + "\\stick\\ISO\\g.cso";
    std::unique_ptr<ByteSink> sink = files.createFile(cso);
    ASSERT_TRUE(sink);
    EXPECT_EQ(files.createFile(cso), nullptr);  // it is there now
    progress.begin("g.iso", 100);
    HWND shown = FindWindowW(nullptr, L"Compressione per la PSP");
    EXPECT_NE(shown, nullptr);
    EXPECT_TRUE(progress.update(50));
    EXPECT_TRUE(sink->append("header....") && sink->append("blocks") && sink->writeAt(6, "IX"));
    progress.end();
    sink.reset();
    EXPECT_FALSE(IsWindow(shown) && IsWindowVisible(shown));
    EXPECT_EQ(read(cso), "headerIX..blocks");
}

// Whatever the machine's ANSI code page, the file holds what that page keeps of
// the text, and a save that cannot write its new file leaves the old one whole.
TEST_F(Scratch, SettingsAreSavedInTheAnsiCodePageAndReplacedOnlyWhole) {
    const std::wstring note = L"3.40 OE \u00e8\u00e9";  // an Italian note
    auto ansi = [](const std::wstring& text) {
        char bytes[256];
        int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, 256, nullptr, nullptr);
        return std::string(bytes, n > 0 ? n - 1 : 0);
    };
    Win32SettingsFolder folder(root);
    ASSERT_TRUE(saveSettings(folder, SettingsForm{false, "e:", narrow(note), true, 40}));
    std::string saved = read(root + "\\Setting.INI");
    EXPECT_NE(saved.find("\r\nPSP Versione = " + ansi(note) + "\r\n"), std::string::npos);
    EXPECT_EQ(ansi(widen(readSettings(folder).firmwareVersion().value_or(""))), ansi(note));
    EXPECT_EQ(read(root + "\\Setting.INI.new"), "<missing>");
    fs::create_directory(widen(root + "\\Setting.INI.new"));  // nothing can be made under it
    EXPECT_FALSE(saveSettings(folder, SettingsForm{}));
    EXPECT_EQ(read(root + "\\Setting.INI"), saved);
    Win32SettingsFolder missing(root + "\\no such folder");
    EXPECT_FALSE(saveSettings(missing, SettingsForm{}));
    // The caller hears the step that failed and the system's own words for it.
    EXPECT_EQ(missing.failure().code(), DWORD{ERROR_PATH_NOT_FOUND});
    EXPECT_EQ(missing.failureReason(), narrow(systemWords(ERROR_PATH_NOT_FOUND)));
    EXPECT_NE(missing.failureReason(), std::to_string(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(missing.read("Setting.INI").has_value());
}

// The 32-bit program on 64-bit Windows counts the 64-bit Program Files, which both CSIDLs miss.
TEST(ProgramFiles, UnderWow64The64BitFolderCountsToo) {
    SetEnvironmentVariableW(L"ProgramW6432", L"C:\\Programmi a 64 bit");
    auto counts = [](bool wow64) {
        std::vector<std::string> folders = programFilesFolders(wow64);
        return std::count(folders.begin(), folders.end(), "C:\\Programmi a 64 bit");
    };
    EXPECT_EQ(counts(true), 1);
    EXPECT_EQ(counts(false), 0);
}

// A new value is text, as the end-to-end tests read it back; an old one keeps its type.
TEST(Registry, SetRegValueKeepsANumbersType) {
    RegistryKey k;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, L"Software\\CaldriftTest", k.put()), 0);
    Win32Registry registry;
    auto set = [&](const char* key, const char* data) {
        return SetRegValue(registry, RegistryRoot::CurrentUser, key, "Caldrift", data);
    };
    DWORD size = sizeof(DWORD), number = 7;
    RegSetValueExW(k.get(), L"Caldrift", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    ASSERT_TRUE(set("Software\\CaldriftTest", "42"));
    EXPECT_EQ(
        RegGetValueW(k.get(), nullptr, L"Caldrift", RRF_RT_REG_DWORD, nullptr, &number, &size), 0);
    EXPECT_EQ(number, 42u);
    EXPECT_FALSE(set("Software\\CaldriftNoSuchKey", "x"));
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\CaldriftTest");
}

// An opacity that is no byte leaves the window as it was, layered or not.
TEST(Transparency, OnlyAByteOfOpacityMakesTheWindowLayered) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
    SetTransparency(window, 256);
    SetTransparency(window, -1);
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    SetTransparency(window, 195);
    SetTransparency(window, 300);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(std::make_pair(alpha, flags), std::make_pair(BYTE{195}, DWORD{LWA_ALPHA}));
    DestroyWindow(window);
}

// Each item's text and what choosing it does, as the drop window builds them, in either language.
TEST(PopupMenu, OffersTheSettingsTheUndoTheCompressionThenExitLast) {
    for (auto [language, settings, undo, compress] :
         {std::tuple{kItalian, L"Impostazioni", L"Annulla l'ultimo trasferimento",
                     L"Comprimi le ISO"},
          {kEnglish, L"Settings", L"Undo the last transfer", L"Compress ISO images"}}) {
        useResourceLanguage(language);
        MenuHandle menu = createPopupMenu();
        std::vector<std::pair<UINT, std::wstring>> items;
        for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
            wchar_t text[64] = L"";
            GetMenuStringW(menu.get(), i, text, 64, MF_BYPOSITION);
            items.emplace_back(GetMenuItemID(menu.get(), i), text);
        }
        EXPECT_EQ(items, (decltype(items){{kMenuSetting, settings},
                                          {kMenuUndo, undo},
                                          {kMenuCompress, compress},
                                          {0, L""},
                                          {kMenuExit, L"Exit"}}));
        EXPECT_TRUE(GetMenuState(menu.get(), 3, MF_BYPOSITION) & MF_SEPARATOR);
    }
    useResourceLanguage(kItalian);
}

// Texts that live where no other program can read them: the tabs' captions and the tooltips.
TEST_F(Scratch, SettingsDialogNamesItsTabsAndItsLinks) {
    Win32SettingsFolder folder(root);
    SettingsDialog dialog(
        folder, [] {}, [](bool) {});
    dialog.open(nullptr);
    HWND window = FindWindowW(SettingsDialog::kClassName, nullptr);
    ASSERT_TRUE(window);
    wchar_t text[128];
    HWND tab = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    std::vector<std::wstring> texts;
    for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT, item.pszText = text, item.cchTextMax = 128;
        if (TabCtrl_GetItem(tab, i, &item)) texts.push_back(item.pszText);
    }
    // The tooltip windows are top-level ones of this thread.
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
        for (int i = 0; GetWindowThreadProcessId(tip, nullptr) == GetCurrentThreadId() &&
                        i < SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
             ++i) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool, tool.lpszText = text;
            if (SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)))
                texts.push_back(text);
        }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Settaggi PSP", L"Settaggi Applicazione",
                                                L"Informazioni su...", L"Mandami Una Mail",
                                                widen(siteTooltip(CALDRIFT_WEB_SITE))}));
}

namespace {
BOOL CALLBACK notePlace(HWND child, LPARAM places) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    reinterpret_cast<std::vector<RECT>*>(places)->push_back(r);
    return TRUE;
}

// Every control of a window, nested ones too, in its parent's client coordinates.
std::vector<RECT> controlPlaces(HWND window) {
    std::vector<RECT> places;
    EnumChildWindows(window, notePlace, reinterpret_cast<LPARAM>(&places));
    return places;
}
}  // namespace

// Moved to a monitor at 150 %, each window takes the rectangle Windows proposes
// and lays its controls out again from their twips: each moves and grows by half.
TEST_F(Scratch, EveryWindowLaysItselfOutAgainAtANewDpi) {
    Win32FileSystem files;
    Win32ShellCopy shell;
    MessageBoxService messages;
    Win32SettingsFolder folder(root);
    Win32Registry registry;
    Win32DriveProbe probe;
    Win32Safekeeping keeping;
    Win32CompressionProgress compression;
    DropWindow drop({files,
                     shell,
                     messages,
                     folder,
                     registry,
                     probe,
                     keeping,
                     compression,
                     {root + "\\Caldrift.exe", {}}});
    ASSERT_TRUE(drop.create());
    SplashWindow splash([] {});
    ASSERT_TRUE(splash.create());
    SettingsDialog dialog(
        folder, [] {}, [](bool) {});
    dialog.open(nullptr);
    for (const wchar_t* name : {DropWindow::kClassName, PendingWindow::kClassName,
                                SplashWindow::kClassName, SettingsDialog::kClassName}) {
        HWND window = FindWindowW(name, nullptr);
        ASSERT_TRUE(window);
        std::vector<RECT> before = controlPlaces(window);
        RECT r;
        GetWindowRect(window, &r);
        RECT proposed{r.left, r.top, r.left + (r.right - r.left) * 3 / 2,
                      r.top + (r.bottom - r.top) * 3 / 2};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                     reinterpret_cast<LPARAM>(&proposed));
        GetWindowRect(window, &r);
        EXPECT_EQ(r.right - r.left, proposed.right - proposed.left);
        EXPECT_EQ(r.bottom - r.top, proposed.bottom - proposed.top);
        std::vector<RECT> after = controlPlaces(window);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_NEAR(after[i].left, before[i].left * 1.5, 1.5) << i << narrow(name);
            EXPECT_NEAR(after[i].top, before[i].top * 1.5, 1.5) << i << narrow(name);
            EXPECT_NEAR(after[i].right - after[i].left, (before[i].right - before[i].left) * 1.5,
                        2 + (before[i].right - before[i].left) * 0.2)
                << i << narrow(name);
        }
        matchWindowDpi(window, 144);  // laid out for a scaling Windows no longer has
        EXPECT_EQ(controlPlaces(window).back().right, before.back().right) << narrow(name);
    }
    // The drop window stays in the work area's corner.
    RECT r;
    GetWindowRect(drop.hwnd(), &r);
    RECT area = primaryWorkArea();
    EXPECT_EQ(r.right, area.right);
    EXPECT_LE(r.bottom, area.bottom);
}
