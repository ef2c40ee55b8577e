#include "transfer/file_system_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/paths.h"
#include "drive/drive_probe_win32.h"
#include "toolkit/handles.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
constexpr DWORD kLeftOutOfListings = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Opens what is already there, letting other programs read, write and delete it meanwhile.
FileHandle openExisting(const std::wstring& path, DWORD access,
                        DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return FileHandle(CreateFileW(path.c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
}

std::uint64_t bytes(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

class FileBytes : public ByteSource {
public:
    explicit FileBytes(FileHandle file) : file_(std::move(file)) {}
    std::uint64_t size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_.get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }
    bool read(std::uint64_t offset, std::size_t count, std::string& out) override {
        out.assign(count, '\0');
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        return ReadFile(file_.get(), out.data(), static_cast<DWORD>(count), &got, &at) &&
               got == count;
    }

private:
    FileHandle file_;
};

// A new file written at its end, and in place where asked.
class FileSink : public ByteSink {
public:
    FileSink(FileHandle file, Failure& failure) : file_(std::move(file)), failure_(failure) {}
    bool append(const std::string& bytes) override {
        end_ += bytes.size();
        return writeAt(end_ - bytes.size(), bytes);
    }
    bool writeAt(std::uint64_t offset, const std::string& bytes) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        return failure_.win32(WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &written, &at),
                              L"WriteFile") &&
               written == bytes.size();
    }

private:
    FileHandle file_;
    Failure& failure_;
    std::uint64_t end_ = 0;
};
}  // namespace

PathType Win32FileSystem::typeOf(const std::string& path) {
    DWORD attributes = GetFileAttributesW(longPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathType::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathType::Folder : PathType::File;
}

std::optional<FileStamp> Win32FileSystem::stamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(longPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileStamp{
        bytes(data.nFileSizeHigh, data.nFileSizeLow),
        bytes(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

// Flushing takes a handle that may write, which a read-only file (the shell
// keeps a source's attributes) gives only while the attribute is lifted.
bool Win32FileSystem::flush(const std::string& path) {
    std::wstring name = longPath(path);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (!failure_.win32(attributes != INVALID_FILE_ATTRIBUTES, L"GetFileAttributesW")) return false;
    bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    if (readOnly)
        failure_.win32(SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY),
                       L"SetFileAttributesW");
    bool flushed = false;
    {
        FileHandle file = openExisting(name, GENERIC_WRITE);
        flushed = failure_.win32(bool(file), L"CreateFileW") &&
                  failure_.win32(FlushFileBuffers(file.get()), L"FlushFileBuffers");
    }
    if (readOnly)
        failure_.win32(SetFileAttributesW(name.c_str(), attributes), L"SetFileAttributesW");
    return flushed;
}

std::optional<DriveSpace> Win32FileSystem::space(const std::string& drive) {
    std::wstring root = widen(drive + "\\");
    ULARGE_INTEGER available;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!failure_.win32(GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr),
                        L"GetDiskFreeSpaceExW") ||
        !failure_.win32(GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector,
                                          &freeClusters, &clusters),
                        L"GetDiskFreeSpaceW"))
        return std::nullopt;
    return DriveSpace{available.QuadPart,
                      static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector};
}

bool Win32FileSystem::entryExists(const std::string& path) {
    return lookupEntry(longPath(path).c_str()) == Lookup::Found;
}

// A read-only file (the shell keeps a source's attributes) is let go first.
bool Win32FileSystem::removeFile(const std::string& path) {
    std::wstring name = longPath(path);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return failure_.win32(DeleteFileW(name.c_str()), L"DeleteFileW");
}

bool Win32FileSystem::removeFolder(const std::string& path) {
    return failure_.win32(RemoveDirectoryW(longPath(path).c_str()), L"RemoveDirectoryW");
}

FileSystem::Listing Win32FileSystem::list(const std::string& folder) {
    Listing listing;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileExW(longPath(folder + "\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!failure_.win32(bool(find), L"FindFirstFileExW")) return listing;
    listing.ok = true;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || (data.dwFileAttributes & kLeftOutOfListings)) continue;
        // A symbolic link or junction names another place; other reparse points
        // (deduplicated files, cloud placeholders) hold their own data.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            IsReparseTagNameSurrogate(data.dwReserved0))
            listing.links.push_back(narrow(name));
        else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listing.folders.push_back(narrow(name));
        else
            listing.files.push_back({narrow(name), bytes(data.nFileSizeHigh, data.nFileSizeLow)});
    } while (FindNextFileW(find.get(), &data));
    return listing;
}

// The volume and the 128-bit id, which ReFS needs (Dev Drives, servers); the
// 64-bit index where the volume gives no other. A redirector may give none:
// unknown then, never the same as another folder's.
std::string Win32FileSystem::folderIdentity(const std::string& folder) {
    FileHandle handle = openExisting(longPath(folder), 0, FILE_FLAG_BACKUP_SEMANTICS);
    if (!failure_.win32(bool(handle), L"CreateFileW")) return {};
    std::uint64_t volume = 0, id[2] = {0, 0};
    FILE_ID_INFO wide;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandleEx(handle.get(), FileIdInfo, &wide, sizeof(wide))) {
        volume = wide.VolumeSerialNumber;
        std::memcpy(id, wide.FileId.Identifier, sizeof(id));
    } else if (failure_.win32(GetFileInformationByHandle(handle.get(), &info),
                              L"GetFileInformationByHandle")) {
        volume = info.dwVolumeSerialNumber;
        id[0] = bytes(info.nFileIndexHigh, info.nFileIndexLow);
    }
    if (id[0] == 0 && id[1] == 0) return {};
    return std::to_string(volume) + ":" + std::to_string(id[1]) + ":" + std::to_string(id[0]);
}

std::unique_ptr<ByteSource> Win32FileSystem::openForReading(const std::string& path) {
    FileHandle file = openExisting(longPath(path), GENERIC_READ);
    if (!failure_.win32(bool(file), L"CreateFileW")) return nullptr;
    return std::make_unique<FileBytes>(std::move(file));
}

std::unique_ptr<ByteSink> Win32FileSystem::createFile(const std::string& path) {
    std::vector<std::string> missing;
    for (std::string up = parentOf(path);
         up.find('\\') != std::string::npos && typeOf(up) == PathType::Missing; up = parentOf(up))
        missing.push_back(up);
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
        if (!failure_.win32(CreateDirectoryW(longPath(*folder).c_str(), nullptr),
                            L"CreateDirectoryW"))
            return nullptr;
    FileHandle file(CreateFileW(longPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!failure_.win32(bool(file), L"CreateFileW")) return nullptr;
    return std::make_unique<FileSink>(std::move(file), failure_);
}

bool Win32FileSystem::rewrite(const std::string& path, const std::string& bytes) {
    FileHandle file = openExisting(longPath(path), GENERIC_WRITE);
    DWORD written = 0;
    // Written over the old bytes first and cut to length after, so a write the
    // stick cannot finish leaves the old text whole beneath the new.
    return failure_.win32(bool(file), L"CreateFileW") &&
           failure_.win32(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                    &written, nullptr),
                          L"WriteFile") &&
           written == bytes.size() && failure_.win32(SetEndOfFile(file.get()), L"SetEndOfFile") &&
           failure_.win32(FlushFileBuffers(file.get()), L"FlushFileBuffers");
}

// The invariant upper case is the system's own table, the one its file systems
// compare names by.
std::string Win32FileSystem::upperCase(const std::string& name) {
    std::wstring wide = widen(name);
    if (wide.empty() || LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                                      static_cast<int>(wide.size()), wide.data(),
                                      static_cast<int>(wide.size()), nullptr, nullptr, 0) == 0)
        return utf8::asciiUpper(name);
    return narrow(wide);
}

}  // namespace caldrift
