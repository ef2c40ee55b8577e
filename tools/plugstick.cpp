// Plugs a folder in as a removable drive while Wine runs, or takes it out, and
// announces it as Windows does.
//   plugstick <letter> <Unix folder>     plugstick <letter>   (out again)
#include <windows.h>
#include <dbt.h>
#include <winioctl.h>

#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace {
// Wine 8's record for its mount manager's IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE
// (struct mountmgr_unix_drive of its ddk/mountmgr.h); the mount point follows it.
struct UnixDrive {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
};
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || !iswalpha(argv[1][0])) return 2;
    wchar_t letter = towlower(argv[1][0]);
    bool plug = argc > 2;
    std::string folder;  // the tests' folders are ASCII
    if (plug)
        for (wchar_t c : std::wstring(argv[2])) folder += static_cast<char>(c);
    std::vector<char> record(sizeof(UnixDrive) + folder.size() + 1);
    auto* drive = reinterpret_cast<UnixDrive*>(record.data());
    drive->size = static_cast<ULONG>(record.size());
    drive->type = plug ? DRIVE_REMOVABLE : DRIVE_NO_ROOT_DIR;
    drive->letter = letter;
    if (plug) drive->mountPointOffset = sizeof(UnixDrive);
    std::memcpy(record.data() + sizeof(UnixDrive), folder.c_str(), folder.size() + 1);

    HANDLE manager =
        CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return 1;
    DWORD returned = 0;
    BOOL defined =
        DeviceIoControl(manager, kDefineUnixDrive, record.data(), static_cast<DWORD>(record.size()),
                        nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    wchar_t root[] = {letter, L':', L'\\', 0};  // a drive taken out that was not there is no fault
    if (!defined && (plug || GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR)) return 1;

    DEV_BROADCAST_VOLUME volume{sizeof(volume), DBT_DEVTYP_VOLUME, 0, 1u << (letter - L'a'), 0};
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE,
                        plug ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                        reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG, 5000, &answer);
    return 0;
}
