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

}  // namespace caldrift
