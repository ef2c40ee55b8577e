#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "formats/byte_source.h"
#include "formats/cso_writer.h"

namespace caldrift {

enum class PathType { Missing, File, Folder };

// What tells whether a file changed: its size and last-write time (100 ns units).
struct FileStamp {
    std::uint64_t size = 0, written = 0;
};

struct DriveSpace {
    std::uint64_t available = 0;  // bytes this user may still write
    std::uint64_t cluster = 1;    // the unit a file's size is rounded up to
};

// What intake and the copier ask of the file system. Paths are UTF-8.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual PathType typeOf(const std::string& path) = 0;
    // Lookup of a file or folder as the drive scanner does it (not hidden/system).
    virtual bool entryExists(const std::string& path) = 0;
    struct ListedFile {
        std::string name;
        std::uint64_t size = 0;
    };
    struct Listing {
        bool ok = false;
        std::vector<ListedFile> files;     // in listing order
        std::vector<std::string> folders;  // names of sub-folders
        std::vector<std::string> links;    // symbolic links and junctions, never followed
    };
    // Direct content of a folder; hidden and system entries left out.
    virtual Listing list(const std::string& folder) = 0;
    // What tells a folder from every other (its volume and file id), so
    // that a folder reached twice is seen as one; empty when unknown.
    virtual std::string folderIdentity(const std::string& folder) = 0;
    // Of a file, none for a folder or nothing.
    virtual std::optional<FileStamp> stamp(const std::string& path) = 0;
    std::optional<std::uint64_t> fileSize(const std::string& path) {
        std::optional<FileStamp> found = stamp(path);
        return found ? std::optional<std::uint64_t>(found->size) : std::nullopt;
    }
    // Writes what the system still holds of the file to the disk.
    virtual bool flush(const std::string& path) = 0;
    virtual std::optional<DriveSpace> space(const std::string& drive) = 0;
    // False when the file is still there.
    virtual bool removeFile(const std::string& path) = 0;
    // Removes a folder only when it holds nothing; false otherwise.
    virtual bool removeFolder(const std::string& path) = 0;
    // Replaces what an existing file holds; false when it cannot be written.
    virtual bool rewrite(const std::string& path, const std::string& bytes) = 0;
    // A new file, and the folders on its way; none when it is there or cannot be made.
    virtual std::unique_ptr<ByteSink> createFile(const std::string& path) = 0;
    // The file's bytes, to read its header; none when it cannot be opened.
    virtual std::unique_ptr<ByteSource> openForReading(const std::string& path) = 0;
    // The name upper-cased by the system's table, as FAT compares names ("é" as "É").
    virtual std::string upperCase(const std::string& name) { return utf8::asciiUpper(name); }
};

}  // namespace caldrift
