#include "toolkit/system_functions.h"

#include <map>
#include <string>

#include "toolkit/handles.h"

namespace toolkit {

void loadLibrariesFromSystemOnly() {
    if (auto setDirectories = late::SetDefaultDllDirectories())
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

void* systemFunction(const wchar_t* dll, const char* name) {
    static std::map<std::wstring, Library> loaded;
    Library& library = loaded[dll];
    if (!library) library.reset(LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    return library ? reinterpret_cast<void*>(GetProcAddress(library.get(), name)) : nullptr;
}

}  // namespace toolkit
