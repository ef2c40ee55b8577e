#pragma once
#include <windows.h>

#include <string>

namespace toolkit {

constexpr unsigned kUtf8CodePage = 65001;

// Text between UTF-16 and the bytes of a code page: UTF-8 unless told.
std::wstring widen(const std::string& bytes, unsigned codePage = kUtf8CodePage);
std::string narrow(const std::wstring& utf16, unsigned codePage = kUtf8CodePage);

// The language of the program's texts and pictures: a LANGID of its resources.
void useResourceLanguage(LANGID language);
// A resource of this module in that language, or in any where it has none.
HRSRC findResource(const wchar_t* name, const wchar_t* type);
// A text of this module's string tables; empty when there is none.
std::wstring loadString(UINT id);

// The running program's full path, in UTF-8.
std::string programPath();

}  // namespace toolkit
