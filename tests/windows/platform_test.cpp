#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <fstream>

#include "platform/drive_probe_win32.h"
#include "platform/file_system_win32.h"
#include "platform/shell_copy_win32.h"
#include "platform/text_win32.h"

using namespace caldrift;

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
        while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
        CloseHandle(h);
        return bytes;
    }
};
}  // namespace

TEST_F(Scratch, LookupSeesFoldersAndFilesButNotHiddenOnes) {
    folder("PSP");
    write("plain", "x");
    write("secret", "x", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(lookupEntryA((root + "\\PSP").c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntryW(widen(root + "\\plain").c_str()), Lookup::Found);
    EXPECT_EQ(lookupEntryW(widen(root + "\\secret").c_str()), Lookup::Missing);
    EXPECT_EQ(lookupEntryA((root + "\\nothing").c_str()), Lookup::Missing);
    EXPECT_NE(lookupEntryA((root + "\\nothing\\deeper").c_str()), Lookup::Found);
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
