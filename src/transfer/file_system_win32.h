#pragma once
#include "transfer/queue.h"

namespace caldrift {

class Win32FileSystem : public FileSystem {
public:
    bool fileExists(const std::string& path) override;
    bool entryExists(const std::string& path) override;
    Listing list(const std::string& folder) override;
    std::string folderIdentity(const std::string& folder) override;
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override;
    void removeFile(const std::string& path) override;
};

}  // namespace caldrift
