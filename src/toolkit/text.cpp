#include "toolkit/text.h"

#include <windows.h>

#include "common/language.h"
#include "common/utf8.h"

namespace toolkit {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

// UTF-8 goes through our own conversion, which keeps an unpaired surrogate of
// a file name; the system's would turn it into U+FFFD and lose the file.
std::wstring widen(const std::string& bytes, unsigned codePage) {
    if (codePage == kUtf8CodePage) {
        std::u16string utf16 = caldrift::utf8::toUtf16(bytes);
        return std::wstring(utf16.begin(), utf16.end());
    }
    if (bytes.empty()) return {};
    int n =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::wstring longPath(const std::string& path) {
    std::wstring wide = widen(path);
    if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
    if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
    return wide;
}

std::string narrow(const std::wstring& utf16, unsigned codePage) {
    if (codePage == kUtf8CodePage)
        return caldrift::utf8::fromUtf16(std::u16string(utf16.begin(), utf16.end()));
    if (utf16.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr,
                                0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

namespace {
LANGID resourceLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
}

void useResourceLanguage(LANGID language) { resourceLanguage = language; }

HRSRC findResource(const wchar_t* name, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, name, resourceLanguage);
    return found ? found : FindResourceW(module, name, type);
}

// A string table block holds sixteen texts, each its length and its UTF-16 units.
std::string resourceText(int id) {
    HRSRC block = findResource(MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
    HGLOBAL loaded = block ? LoadResource(GetModuleHandleW(nullptr), block) : nullptr;
    auto* unit = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!unit) return {};
    const WCHAR* end = unit + SizeofResource(GetModuleHandleW(nullptr), block) / sizeof(WCHAR);
    for (int i = 0; i < id % 16 && unit < end; ++i) unit += 1 + *unit;
    if (unit >= end || unit + 1 + *unit > end) return {};
    return narrow(std::wstring(unit + 1, *unit));
}

std::wstring words(int textId) { return widen(caldrift::say(textId)); }

std::string programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace toolkit
