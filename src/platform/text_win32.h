#pragma once
#include <string>

namespace caldrift {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

}  // namespace caldrift
