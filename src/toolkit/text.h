#pragma once
#include <windows.h>

#include <string>

namespace toolkit {

constexpr unsigned kUtf8CodePage = 65001;

// Text between UTF-16 and the bytes of a code page: UTF-8 unless told.
std::wstring widen(const std::string& bytes, unsigned codePage = kUtf8CodePage);
std::string narrow(const std::wstring& utf16, unsigned codePage = kUtf8CodePage);
// A full path, in UTF-16, in the form no length limit applies to and in which
// Windows keeps a name's trailing dots and blanks ("\\?\C:\...", "\\?\UNC\...").
std::wstring longPath(const std::string& path);

// The language of the program's texts and pictures: a LANGID of its resources.
void useResourceLanguage(LANGID language);
// A resource of this module in that language, or in any where it has none.
HRSRC findResource(const wchar_t* name, const wchar_t* type);
// A text of this module's string tables, in UTF-8; empty when there is none.
// It feeds caldrift::say (usePhrasebook), the one lookup of texts.
std::string resourceText(int id);
// The words of a text, as caldrift::say gives them, in UTF-16.
std::wstring words(int textId);

// The running program's full path, in UTF-8.
std::string programPath();

}  // namespace toolkit
