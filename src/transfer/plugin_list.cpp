#include "transfer/plugin_list.h"

#include <cctype>
#include <set>
#include <sstream>

#include "common/utf8.h"

namespace caldrift {

namespace {
std::string trimmed(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t\r"), last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

std::string comparable(const std::string& line) {
    std::string key = trimmed(line);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}
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
    std::istringstream stick(onStick), extra(dropped);
    for (std::string line; std::getline(stick, line);) known.insert(comparable(line));
    std::string merged = onStick;
    for (std::string line; std::getline(extra, line);) {
        if (comparable(line).empty() || !known.insert(comparable(line)).second) continue;
        if (!merged.empty() && merged.back() != '\n') merged += ending;
        merged += trimmed(line) + ending;
    }
    return merged;
}

}  // namespace caldrift
