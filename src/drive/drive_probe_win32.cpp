#include "drive/drive_probe_win32.h"

#include <windows.h>

namespace caldrift {

namespace {
Lookup lookupByAttributes(DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                       error == ERROR_NO_MORE_FILES;
        return missing ? Lookup::Missing : Lookup::Failed;
    }
    return (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ? Lookup::Missing
                                                                          : Lookup::Found;
}
}  // namespace

Lookup lookupEntry(const char* path) { return lookupByAttributes(GetFileAttributesA(path)); }
Lookup lookupEntry(const wchar_t* path) { return lookupByAttributes(GetFileAttributesW(path)); }

std::uint32_t Win32DriveProbe::existingDrives() {
    DWORD drives = GetLogicalDrives();
    failure_.win32(drives != 0, L"GetLogicalDrives");
    return drives;
}

unsigned Win32DriveProbe::driveType(const std::string& drive) {
    char root[4] = {drive.empty() ? '\0' : drive[0], ':', '\\', '\0'};
    return GetDriveTypeA(root);
}

// Polled every few milliseconds: the paths are plain ASCII, so the ANSI call
// spares a conversion.
Lookup Win32DriveProbe::lookup(const std::string& path) { return lookupEntry(path.c_str()); }

}  // namespace caldrift
