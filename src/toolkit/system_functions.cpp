#include "toolkit/system_functions.h"

#include <map>
#include <string>

#include "toolkit/handles.h"

namespace toolkit {

void loadLibrariesFromSystemOnly() {
    if (auto setDirectories = late::SetDefaultDllDirectories())
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

namespace {
// A loader that knows no LOAD_LIBRARY_SEARCH_SYSTEM32 (Windows 7 without
// KB2533623) refuses the flag: the DLL is then named by its System32 path.
HMODULE loadFromSystem32(const wchar_t* dll) {
    if (HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\" + dll).c_str());
}
}  // namespace

void* systemFunction(const wchar_t* dll, const char* name) {
    static std::map<std::wstring, Library> loaded;
    Library& library = loaded[dll];
    if (!library) library.reset(loadFromSystem32(dll));
    return library ? reinterpret_cast<void*>(GetProcAddress(library.get(), name)) : nullptr;
}

}  // namespace toolkit
