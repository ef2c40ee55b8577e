#pragma once
#include "toolkit/failure.h"
#include "transfer/file_system.h"

namespace caldrift {

class Win32FileSystem : public FileSystem {
public:
    PathType typeOf(const std::string& path) override;
    bool entryExists(const std::string& path) override;
    Listing list(const std::string& folder) override;
    std::string folderIdentity(const std::string& folder) override;
    std::optional<FileStamp> stamp(const std::string& path) override;
    bool flush(const std::string& path) override;
    std::optional<DriveSpace> space(const std::string& drive) override;
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override;
    std::unique_ptr<ByteSink> createFile(const std::string& path) override;
    bool rewrite(const std::string& path, const std::string& bytes) override;
    bool removeFile(const std::string& path) override;
    bool removeFolder(const std::string& path) override;
    std::string upperCase(const std::string& name) override;
    // The step that failed last, with its code.
    const toolkit::Failure& failure() const { return failure_; }

private:
    toolkit::Failure failure_;
};

}  // namespace caldrift
