#include "transfer/plugin_list.h"

#include <algorithm>
#include <set>
#include <vector>

#include "common/utf8.h"

namespace caldrift {

namespace {
std::string trimmed(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t\r"), last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// The UTF-8 byte-order mark Notepad writes at a list's start.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Split at each LF, past a byte-order mark; a CR before it is trimmed with the blanks.
std::vector<std::string> linesOf(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        lines.emplace_back(text.substr(at, end - at));
    }
    return lines;
}

std::string comparable(const std::string& line) { return utf8::asciiLower(trimmed(line)); }
}  // namespace

bool isPluginList(std::string_view name) {
    for (const char* list : {"PLUGINS.TXT", "GAME.TXT", "VSH.TXT", "POPS.TXT"})
        if (utf8::equalsIgnoringAsciiCase(name, list)) return true;
    return false;
}

std::string mergedPluginList(const std::string& onStick, const std::string& dropped) {
    bool plainNewline =
        onStick.find('\n') != std::string::npos && onStick.find("\r\n") == std::string::npos;
    const char* ending = plainNewline ? "\n" : "\r\n";
    std::set<std::string> known;
    for (const std::string& line : linesOf(onStick)) known.insert(comparable(line));
    std::string merged = onStick;
    for (const std::string& line : linesOf(dropped)) {
        if (comparable(line).empty() || !known.insert(comparable(line)).second) continue;
        if (!merged.empty() && merged.back() != '\n' && merged != kByteOrderMark) merged += ending;
        merged += trimmed(line) + ending;
    }
    return merged;
}

}  // namespace caldrift
