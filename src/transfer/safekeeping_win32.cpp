#include "transfer/safekeeping_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>

#include "toolkit/handles.h"
#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

namespace {
void makeFoldersAbove(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryW(longPath(path.substr(0, at)).c_str(), nullptr);
}

// Each entry of a folder but "." and "..", with its find data.
void eachEntry(const std::string& folder,
               const std::function<void(const std::string&, const WIN32_FIND_DATAW&)>& take) {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(longPath(folder + "\\*").c_str(), &data));
    if (!find) return;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") take(narrow(name), data);
    } while (FindNextFileW(find.get(), &data));
}

std::uint64_t treeBytes(const std::string& folder) {
    std::uint64_t bytes = 0;
    eachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAW& data) {
        bytes += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                     ? treeBytes(folder + "\\" + name)
                     : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    });
    return bytes;
}
}  // namespace

Win32Safekeeping::Win32Safekeeping() {
    wchar_t folder[MAX_PATH];
    if (failure_.hresult(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder),
            L"SHGetFolderPathW")) {
        base_ = narrow(folder);
        folder_ = base_ + "\\Caldrift";
    }
}

std::optional<std::uint64_t> Win32Safekeeping::room() {
    ULARGE_INTEGER available;
    if (!failure_.win32(
            GetDiskFreeSpaceExW(widen(base_ + "\\").c_str(), &available, nullptr, nullptr),
            L"GetDiskFreeSpaceExW"))
        return std::nullopt;
    return available.QuadPart;
}

std::string Win32Safekeeping::now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char name[32];
    std::snprintf(name, sizeof(name), "%04u-%02u-%02u %02u.%02u.%02u.%03u", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return name;
}

std::optional<std::uint32_t> Win32Safekeeping::volumeSerial(const std::string& drive) {
    DWORD serial = 0;
    if (!failure_.win32(GetVolumeInformationW(widen(drive + "\\").c_str(), nullptr, 0, &serial,
                                              nullptr, nullptr, nullptr, 0),
                        L"GetVolumeInformationW"))
        return std::nullopt;
    return serial;
}

// CopyFileW keeps the last-write time; a read-only file in the way is let go first.
bool Win32Safekeeping::copyFile(const std::string& from, const std::string& to) {
    makeFoldersAbove(to);
    std::wstring target = longPath(to);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!failure_.win32(CopyFileW(longPath(from).c_str(), target.c_str(), FALSE), L"CopyFileW"))
        return false;
    attributes = GetFileAttributesW(target.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    bool flushed = false;
    {
        FileHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        flushed = failure_.win32(bool(file) && FlushFileBuffers(file.get()), L"FlushFileBuffers");
    }
    if (readOnly) SetFileAttributesW(target.c_str(), attributes);
    return flushed;
}

bool Win32Safekeeping::append(const std::string& file, const std::string& text, bool fresh) {
    makeFoldersAbove(file);
    FileHandle handle(CreateFileW(longPath(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                  nullptr, fresh ? CREATE_ALWAYS : OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return failure_.win32(bool(handle), L"CreateFileW") &&
           failure_.win32(WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()),
                                    &written, nullptr),
                          L"WriteFile") &&
           written == text.size() &&
           failure_.win32(FlushFileBuffers(handle.get()), L"FlushFileBuffers");
}

std::optional<std::string> Win32Safekeeping::read(const std::string& file) {
    FileHandle handle(CreateFileW(longPath(file).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!handle || !GetFileSizeEx(handle.get(), &size)) return std::nullopt;
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!ReadFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr))
        return std::nullopt;
    text.resize(got);
    return text;
}

std::vector<std::pair<std::string, std::uint64_t>> Win32Safekeeping::folders(
    const std::string& folder) {
    std::vector<std::pair<std::string, std::uint64_t>> found;
    eachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAW& data) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            found.emplace_back(name, treeBytes(folder + "\\" + name));
    });
    return found;
}

void Win32Safekeeping::removeTree(const std::string& folder) {
    eachEntry(folder, [&](const std::string& name, const WIN32_FIND_DATAW& data) {
        std::string path = folder + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return removeTree(path);
        SetFileAttributesW(longPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        failure_.win32(DeleteFileW(longPath(path).c_str()), L"DeleteFileW");
    });
    failure_.win32(RemoveDirectoryW(longPath(folder).c_str()), L"RemoveDirectoryW");
}

}  // namespace caldrift
