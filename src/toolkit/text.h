#pragma once
#include <string>

namespace toolkit {

constexpr unsigned kUtf8CodePage = 65001;

// Text between UTF-16 and the bytes of a code page: UTF-8 unless told.
std::wstring widen(const std::string& bytes, unsigned codePage = kUtf8CodePage);
std::string narrow(const std::wstring& utf16, unsigned codePage = kUtf8CodePage);

// The running program's full path, in UTF-8.
std::string programPath();

}  // namespace toolkit
