#include "transfer/fat_names.h"

#include <algorithm>

#include "common/utf8.h"

namespace caldrift {

namespace {
constexpr std::size_t kLongestFatName = 255;
// WSL hands a character Windows refuses in a name over as this plus the character.
constexpr char16_t kWslEscapes = 0xF000;

bool refusedByFat(char16_t c) {
    return c < 0x20 || std::u16string_view(u"\"*/:<>?\\|").find(c) != std::u16string_view::npos;
}

bool trailing(char c) { return c == '.' || c == ' '; }
}  // namespace

bool isFatName(std::string_view name) {
    if (name.empty() || trailing(name.back())) return false;
    std::u16string units = utf8::toUtf16(name);
    if (units.size() > kLongestFatName) return false;
    for (char16_t c : units) {
        bool escaped = c >= kWslEscapes && c < kWslEscapes + 0x80;
        if (refusedByFat(escaped ? static_cast<char16_t>(c - kWslEscapes) : c)) return false;
    }
    return true;
}

bool fitsTheShell(std::string_view path) { return utf8::toUtf16(path).size() <= kLongestShellPath; }

std::string fatKey(std::string_view path, FileSystem& fs) {
    std::string key;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        std::string_view name = path.substr(start, end - start);
        while (!name.empty() && trailing(name.back())) name.remove_suffix(1);
        key += fs.upperCase(std::string(name));
        if (end < path.size()) key.push_back('\\');
        start = end + 1;
    }
    return key;
}

}  // namespace caldrift
