#pragma once
#include "drive/scanner.h"
#include "dropwindow/intake.h"

namespace caldrift {

// A file or folder that is neither hidden nor system.
Lookup lookupEntryA(const char* path);
Lookup lookupEntryW(const wchar_t* path);

class Win32FileSystem : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool entryExists(const std::string& path) override;
    Listing list(const std::string& folder) override;
    void removeFile(const std::string& path) override;
};

}  // namespace caldrift
