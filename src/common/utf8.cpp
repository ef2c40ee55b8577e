#include "common/utf8.h"

namespace caldrift::utf8 {

namespace {
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset where the character n places from the end begins, or npos.
std::size_t startOfCharFromEnd(std::string_view text, std::size_t n) {
    std::size_t pos = text.size();
    for (std::size_t seen = 0; seen < n; ++seen) {
        if (pos == 0) return std::string_view::npos;
        do {
            --pos;
        } while (pos > 0 && isContinuation(text[pos]));
    }
    return pos;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::size_t length(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if (!isContinuation(c)) ++count;
    return count;
}

std::string_view lastChars(std::string_view text, std::size_t n) {
    std::size_t start = startOfCharFromEnd(text, n);
    return start == std::string_view::npos ? text : text.substr(start);
}

std::string_view charFromEnd(std::string_view text, std::size_t n) {
    if (n == 0) return {};
    std::size_t start = startOfCharFromEnd(text, n);
    if (start == std::string_view::npos) return {};
    std::size_t end = startOfCharFromEnd(text, n - 1);
    if (end == std::string_view::npos) end = text.size();
    return text.substr(start, end - start);
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

}  // namespace caldrift::utf8
