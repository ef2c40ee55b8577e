#include "settings/settings_win32.h"

#include <shlobj.h>

#include "toolkit/text.h"

namespace caldrift {

using namespace toolkit;

std::wstring Win32SettingsFolder::path(const std::string& name) const {
    return widen(folder_ + "\\" + name);
}

std::optional<std::string> Win32SettingsFolder::read(const std::string& name) {
    constexpr DWORD kPatienceMs = 1000, kPauseMs = 50;
    FileHandle file;
    for (DWORD waited = 0;; waited += kPauseMs) {
        file.reset(CreateFileW(path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD error = GetLastError();
        bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (file || !held || waited >= kPatienceMs) break;
        Sleep(kPauseMs);
    }
    if (!failure_.win32(bool(file), L"CreateFileW")) return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    DWORD got = 0;
    while (
        failure_.win32(ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr), L"ReadFile") &&
        got > 0)
        bytes.append(buffer, got);
    return narrow(widen(bytes, CP_ACP));
}

bool Win32SettingsFolder::write(const std::string& name, const std::string& text) {
    std::string bytes = narrow(widen(text), CP_ACP);
    FileHandle file(CreateFileW(path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!failure_.win32(bool(file), L"CreateFileW")) return false;
    DWORD written = 0;
    bool whole = failure_.win32(WriteFile(file.get(), bytes.data(),
                                          static_cast<DWORD>(bytes.size()), &written, nullptr),
                                L"WriteFile") &&
                 written == bytes.size();
    return failure_.win32(FlushFileBuffers(file.get()), L"FlushFileBuffers") && whole;
}

bool Win32SettingsFolder::replace(const std::string& from, const std::string& to) {
    return failure_.win32(MoveFileExW(path(from).c_str(), path(to).c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH),
                          L"MoveFileExW");
}

// Tidying up after a failed save: its own failure is logged, the save's kept.
void Win32SettingsFolder::remove(const std::string& name) {
    if (DeleteFileW(path(name).c_str())) return;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        logFailure(L"DeleteFileW", error);
}

std::string Win32SettingsFolder::failureReason() const { return narrow(failure_.words()); }

bool Win32SettingsFolder::exists(const std::string& name) {
    return GetFileAttributesW(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Registry::open(RegistryRoot root, const std::string& keyPath) {
    HKEY top = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    return failure_.code(RegOpenKeyExW(top, widen(keyPath).c_str(), 0, KEY_ALL_ACCESS, key_.put()),
                         L"RegOpenKeyExW");
}

long Win32Registry::query(const std::string& name, unsigned long& type,
                          std::vector<std::uint8_t>& data, std::size_t& size) {
    DWORD valueType = 0, byteCount = static_cast<DWORD>(data.size());
    LONG result = RegQueryValueExW(key_.get(), widen(name).c_str(), nullptr, &valueType,
                                   data.data(), &byteCount);
    type = valueType;
    size = byteCount;
    if (result != ERROR_FILE_NOT_FOUND) failure_.code(result, L"RegQueryValueExW");
    return result;
}

// The text goes in with its terminating zero, as every reader of the Run key expects.
long Win32Registry::setText(const std::string& name, unsigned long type, const std::string& text) {
    std::wstring wide = widen(text);
    return noted(RegSetValueExW(key_.get(), widen(name).c_str(), 0, type,
                                reinterpret_cast<const BYTE*>(wide.c_str()),
                                static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
                 L"RegSetValueExW");
}

long Win32Registry::setBytes(const std::string& name, unsigned long type,
                             const std::vector<std::uint8_t>& bytes) {
    return noted(RegSetValueExW(key_.get(), widen(name).c_str(), 0, type, bytes.data(),
                                static_cast<DWORD>(bytes.size())),
                 L"RegSetValueExW");
}

long Win32Registry::remove(const std::string& name) {
    LONG result = RegDeleteValueW(key_.get(), widen(name).c_str());
    if (result != ERROR_FILE_NOT_FOUND) failure_.code(result, L"RegDeleteValueW");
    return result;
}

void Win32Registry::close() { key_.reset(); }

long Win32Registry::noted(long result, const wchar_t* step) {
    failure_.code(result, step);
    return result;
}

bool runsUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::vector<std::string> programFilesFolders(bool wow64) {
    std::vector<std::string> folders;
    for (int id : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        wchar_t folder[MAX_PATH];
        if (SUCCEEDED(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder)))
            folders.push_back(narrow(folder));
    }
    // The 32-bit program on 64-bit Windows gets "Program Files (x86)" for both;
    // the 64-bit folder, which only administrators can change too, is in ProgramW6432.
    wchar_t native[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"ProgramW6432", native, MAX_PATH);
    if (wow64 && length > 0 && length < MAX_PATH) folders.push_back(narrow(native));
    return folders;
}

void SetTransparency(HWND window, int opacity) {
    if (opacity < 0 || opacity > 255) return;
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, RGB(255, 255, 0), static_cast<BYTE>(opacity), LWA_ALPHA);
}

}  // namespace caldrift
