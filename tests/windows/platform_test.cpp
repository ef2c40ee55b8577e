#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <fstream>

#include "drive/drive_probe_win32.h"
#include "transfer/file_system_win32.h"
#include "settings/settings_win32.h"
#include "transfer/shell_copy_win32.h"
#include "toolkit/text.h"

using namespace caldrift;
using namespace toolkit;

namespace {
// A scratch folder under the temp directory, removed with its content.
struct Scratch : ::testing::Test {
    std::string root;

    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = narrow(temp) + "caldrift-test-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryW(widen(root).c_str(), nullptr);
    }
    void TearDown() override {
        std::wstring list = widen(root);
        list.push_back(L'\0');
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = list.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    std::string write(const std::string& relative, const std::string& bytes,
                      DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = root + "\\" + relative;
        HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               attributes, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        return path;
    }
    void folder(const std::string& relative) {
        CreateDirectoryW(widen(root + "\\" + relative).c_str(), nullptr);
    }
    std::string read(const std::string& path) {
        std::string bytes;
        HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<missing>";
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        CloseHandle(h);
        return bytes;
    }
};
}  // namespace

TEST_F(Scratch, LookupSeesFoldersAndFilesButNotHiddenOnes) {
    folder("PSP");
    write("plain", "x");
    write("secret", "x", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(lookupEntry((root + "\\PSP").c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntry(widen(root + "\\plain").c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntry(widen(root + "\\secret").c_str()), Lookup::Missing);
    EXPECT_EQ(lookupEntry((root + "\\nothing").c_str()), Lookup::Missing);
    EXPECT_NE(lookupEntry((root + "\\nothing\\deeper").c_str()), Lookup::Found);
}

TEST_F(Scratch, FileExistsMeansAnOrdinaryFile) {
    Win32FileSystem fs;
    folder("Game");
    write("Game\\EBOOT.PBP", "pbp");
    write("Game\\hidden.pbp", "x", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(fs.fileExists(root + "\\Game\\EBOOT.PBP"));
    EXPECT_FALSE(fs.fileExists(root + "\\Game"));
    EXPECT_FALSE(fs.fileExists(root + "\\Game\\hidden.pbp"));
    EXPECT_TRUE(fs.entryExists(root + "\\Game"));
}

TEST_F(Scratch, ListingSplitsFilesAndFoldersAndLeavesOutHiddenEntries) {
    Win32FileSystem fs;
    folder("Game");
    folder("Game\\DATA");
    write("Game\\EBOOT.PBP", "a");
    write("Game\\ICON0.PNG", "b");
    write("Game\\thumbs.db", "c", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    FileSystem::Listing listing = fs.list(root + "\\Game");
    ASSERT_TRUE(listing.ok);
    EXPECT_EQ(listing.files.size(), 2u);
    EXPECT_EQ(listing.folders, std::vector<std::string>{"DATA"});
    EXPECT_FALSE(fs.list(root + "\\Gone").ok);
}

TEST_F(Scratch, ShellCopyKeepsUnicodeNamesAndMakesMissingFolders) {
    Win32ShellCopy shell;
    std::string name = "\xE6\x9B\xB2 \xCE\xB1\xCE\xB2.mp3";  // a Japanese and a Greek word
    std::string source = write(name, "music bytes");
    std::string destination = root + "\\stick\\MUSIC\\" + name;
    EXPECT_EQ(shell.copy(source, destination), CopyResult::Copied);
    EXPECT_EQ(read(destination), "music bytes");
}

TEST_F(Scratch, ShellCopyOfAMissingSourceIsAFailure) {
    Win32ShellCopy shell;
    EXPECT_NE(shell.copy(root + "\\absent.jpg", root + "\\out\\absent.jpg"), CopyResult::Copied);
    EXPECT_EQ(read(root + "\\out\\absent.jpg"), "<missing>");
}

TEST(DriveProbe, KnowsTheSystemDrive) {
    Win32DriveProbe probe;
    EXPECT_TRUE(probe.existingDrives() & (1u << ('C' - 'A')));
    EXPECT_EQ(probe.driveType("C:"), static_cast<unsigned>(DRIVE_FIXED));
    EXPECT_EQ(probe.driveType("Q:"), static_cast<unsigned>(DRIVE_NO_ROOT_DIR));
}

TEST_F(Scratch, SettingsAreWrittenAndReadInTheAnsiCodePage) {
    Win32SettingsFolder folder(root);
    SettingsForm form{false, "e:", "3.40 OE \xc3\xa8", true, 40};  // the è of an Italian note
    ASSERT_TRUE(saveSettings(folder, form));
    std::string bytes = read(root + "\\Setting.INI");
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_NE(bytes.find("PSP Versione = 3.40 OE \xe8\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\xc3"), std::string::npos);
    EXPECT_EQ(readSettings(folder).firmwareVersion(), "3.40 OE \xc3\xa8");
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

struct ScratchRegistryKey : ::testing::Test {
    const std::string key = "Software\\CaldriftTest";
    void SetUp() override {
        HKEY k;
        RegCreateKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &k, nullptr);
        RegCloseKey(k);
    }
    void TearDown() override { RegDeleteKeyW(HKEY_CURRENT_USER, widen(key).c_str()); }
    std::vector<BYTE> value(DWORD& type) {
        std::vector<BYTE> data(2048);
        DWORD size = static_cast<DWORD>(data.size());
        HKEY k;
        RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_READ, &k);
        LONG result = RegQueryValueExW(k, L"Caldrift", nullptr, &type, data.data(), &size);
        RegCloseKey(k);
        data.resize(result == ERROR_SUCCESS ? size : 0);
        return data;
    }
};

TEST_F(ScratchRegistryKey, SetRegValueWritesTextAndKeepsANumbersType) {
    Win32Registry registry;
    ASSERT_TRUE(SetRegValue(registry, RegistryRoot::CurrentUser, key, "Caldrift",
                            "\"C:\\Program Files\\Caldrift.exe\""));
    DWORD type = 0;
    std::vector<BYTE> data = value(type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())),
              L"\"C:\\Program Files\\Caldrift.exe\"");

    HKEY k;
    RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_ALL_ACCESS, &k);
    DWORD seven = 7;
    RegSetValueExW(k, L"Caldrift", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4);
    RegCloseKey(k);
    ASSERT_TRUE(SetRegValue(registry, RegistryRoot::CurrentUser, key, "Caldrift", "42"));
    data = value(type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(data.size(), 4u);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(data.data()), 42u);

    EXPECT_FALSE(SetRegValue(registry, RegistryRoot::CurrentUser, "Software\\CaldriftNoSuchKey",
                             "Caldrift", "x"));
}

TEST(Transparency, OnlyAByteOfOpacityMakesTheWindowLayered) {
    HWND shown = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND untouched = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
    SetTransparency(shown, 195);
    SetTransparency(shown, 256);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(shown, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 195);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    SetTransparency(untouched, -1);
    SetTransparency(untouched, 300);
    EXPECT_FALSE(GetWindowLongW(untouched, GWL_EXSTYLE) & WS_EX_LAYERED);
    DestroyWindow(shown);
    DestroyWindow(untouched);
}
