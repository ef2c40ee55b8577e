#pragma once
#include "drive/scanner.h"

namespace caldrift {

class Win32DriveProbe : public DriveProbe {
public:
    std::uint32_t existingDrives() override;
    unsigned driveType(const std::string& drive) override;
    Lookup lookup(const std::string& path) override;
};

}  // namespace caldrift
