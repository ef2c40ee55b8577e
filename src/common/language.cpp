#include "common/language.h"

namespace caldrift {

namespace {
constexpr unsigned kItalian = 0x10;  // LANG_ITALIAN
Phrasebook phrasebook = nullptr;
}  // namespace

Language languageFor(unsigned windowsLanguage) {
    return (windowsLanguage & 0x3FF) == kItalian ? Language::Italian : Language::English;
}

void usePhrasebook(Phrasebook lookup) { phrasebook = lookup; }

std::string say(int textId) { return phrasebook ? phrasebook(textId) : std::string(); }

std::string say(int textId, std::initializer_list<std::string> values) {
    std::string words = say(textId);
    char mark[] = "%1";
    for (const std::string& value : values) {
        std::size_t at = words.find(mark);
        if (at != std::string::npos) words.replace(at, 2, value);
        ++mark[1];
    }
    return words;
}

}  // namespace caldrift
