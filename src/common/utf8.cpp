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

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string asciiUpper(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = upperAscii(c);
    return folded;
}

std::string asciiLower(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = asciiLowerChar(c);
    return folded;
}

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
        if (asciiLowerChar(a[i]) != asciiLowerChar(b[i])) return false;
    return true;
}

namespace {
bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void append(std::string& out, char32_t c) {
    auto byte = [&out](char32_t b) { out.push_back(static_cast<char>(b)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

// The code point at `pos`, moving past it; U+FFFD and one byte for anything malformed.
char32_t next(std::string_view text, std::size_t& pos) {
    auto lead = static_cast<unsigned char>(text[pos++]);
    int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || pos + extra > text.size()) return 0xFFFD;
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (!isContinuation(text[pos + i])) return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF) return 0xFFFD;
    pos += extra;
    return c;
}
}  // namespace

std::string fromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        append(out, c);
    }
    return out;
}

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = next(text, pos);
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

}  // namespace caldrift::utf8
