#pragma once
#include "toolkit/failure.h"
#include "transfer/undo.h"

namespace caldrift {

// The backups and the journal under the user's local application data folder.
class Win32Safekeeping : public Safekeeping {
public:
    Win32Safekeeping();
    std::string folder() override { return folder_; }
    std::optional<std::uint64_t> room() override;
    std::string now() override;
    std::optional<std::uint32_t> volumeSerial(const std::string& drive) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool append(const std::string& file, const std::string& text, bool fresh) override;
    std::optional<std::string> read(const std::string& file) override;
    std::vector<std::pair<std::string, std::uint64_t>> folders(const std::string& folder) override;
    void removeTree(const std::string& folder) override;

private:
    std::string base_, folder_;  // %LOCALAPPDATA% and the program's folder in it
    toolkit::Failure failure_;
};

}  // namespace caldrift
