#pragma once
#include "drive/scanner.h"
#include "toolkit/failure.h"

namespace caldrift {

// A file or folder that is neither hidden nor system, by its attributes alone:
// under Wine a directory search costs twenty times more.
Lookup lookupEntry(const char* path);
Lookup lookupEntry(const wchar_t* path);

class Win32DriveProbe : public DriveProbe {
public:
    std::uint32_t existingDrives() override;
    unsigned driveType(const std::string& drive) override;
    Lookup lookup(const std::string& path) override;
    const toolkit::Failure& failure() const { return failure_; }

private:
    toolkit::Failure failure_;
};

}  // namespace caldrift
