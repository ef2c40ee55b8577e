#pragma once
#include <initializer_list>
#include <string>

namespace caldrift {

// Caldrift speaks Italian to an Italian Windows and English to any other.
enum class Language { Italian, English };

// From Windows' user-interface language (a LANGID: primary language in the low 10 bits).
Language languageFor(unsigned windowsLanguage);

// Every text the user reads has a number in resources/text_ids.h and its words
// in the string tables; the Windows half hands the lookup over at start.
using Phrasebook = std::string (*)(int textId);
void usePhrasebook(Phrasebook lookup);
// The words of a text, in UTF-8; nothing before a phrasebook is given.
std::string say(int textId);
// The words of a text with its %1, %2 ... given, in order.
std::string say(int textId, std::initializer_list<std::string> values);

}  // namespace caldrift
