#include "platform/drive_probe_win32.h"

#include <windows.h>

#include "platform/file_system_win32.h"

namespace caldrift {

std::uint32_t Win32DriveProbe::existingDrives() { return GetLogicalDrives(); }

unsigned Win32DriveProbe::driveType(const std::string& drive) {
    char root[4] = {drive.empty() ? '\0' : drive[0], ':', '\\', '\0'};
    return GetDriveTypeA(root);
}

// Polled every few milliseconds: the paths are plain ASCII, so the ANSI call
// spares a conversion.
Lookup Win32DriveProbe::lookup(const std::string& path) { return lookupEntryA(path.c_str()); }

}  // namespace caldrift
