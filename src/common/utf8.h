#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace caldrift::utf8 {

// Number of characters (code points) in a UTF-8 text.
std::size_t length(std::string_view text);

// The last n characters of a UTF-8 text (all of it when shorter).
std::string_view lastChars(std::string_view text, std::size_t n);

// The character n places from the end (1 = the last one), empty when too short.
std::string_view charFromEnd(std::string_view text, std::size_t n);

// Letters A to Z and a to z folded; every other byte kept as it is.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
// One character of any type (a wchar_t as well), folded the same way.
template <typename Char>
constexpr Char asciiLowerChar(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

// UTF-16 and UTF-8 both ways, keeping an unpaired surrogate (which Windows
// allows in file names) as its own three bytes, the way WTF-8 does, so that
// every name comes back exactly. Bytes that are not UTF-8 read as U+FFFD.
std::string fromUtf16(std::u16string_view text);
std::u16string toUtf16(std::string_view text);

}  // namespace caldrift::utf8
