// Stands in for the mail program and the browser: appends the command line
// it was started with, as UTF-8, to the file named by CALDRIFT_RECORD.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t target[MAX_PATH];
    if (!GetEnvironmentVariableW(L"CALDRIFT_RECORD", target, MAX_PATH)) return 1;
    std::wstring line = GetCommandLineW();
    line += L"\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    HANDLE file = CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() - 1), &written, nullptr);
    CloseHandle(file);
    return 0;
}
