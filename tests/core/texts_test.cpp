#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

#include "common/language.h"
#include "text_ids.h"

using namespace caldrift;

namespace {
// The string tables: {language: {id: words}}. No text the core says holds an
// escape, so each is taken as written.
std::map<std::string, std::map<int, std::string>> readStringTables() {
    std::map<std::string, int> ids;
    std::ifstream header(CALDRIFT_SOURCE_DIR "/resources/text_ids.h");
    std::smatch m;
    for (std::string line; std::getline(header, line);)
        if (std::regex_match(line, m, std::regex(R"(#define (IDS_\w+) (\d+))")))
            ids[m[1]] = std::stoi(m[2]);
    std::map<std::string, std::map<int, std::string>> tables;
    std::ifstream rc(CALDRIFT_SOURCE_DIR "/resources/strings.rc");
    std::string language;
    for (std::string line; std::getline(rc, line);) {
        if (std::regex_search(line, m, std::regex(R"(^LANGUAGE (LANG_\w+))"))) language = m[1];
        if (!std::regex_match(line, m, std::regex(R"(\s*(IDS_\w+) \"(.*)\")"))) continue;
        tables[language][ids.count(m[1]) ? ids[m[1]] : -1] = m[2].str();
    }
    return tables;
}

const auto tables = readStringTables();
// The core speaks Italian in these tests, as the program does under an Italian Windows.
const bool italian =
    (usePhrasebook([](int id) {
         auto& table = tables.at("LANG_ITALIAN");
         return table.count(id) ? table.at(id) : "<no text " + std::to_string(id) + ">";
     }),
     true);
}  // namespace

TEST(Texts, EveryTextHasItsWordsInBothLanguagesWithTheSameBlanksToFill) {
    const auto& it = tables.at("LANG_ITALIAN");
    const auto& en = tables.at("LANG_ENGLISH");
    ASSERT_GT(it.size(), 60u);
    EXPECT_FALSE(it.count(-1) || en.count(-1)) << "a text without a number";
    for (const auto& [id, words] : it) {
        ASSERT_TRUE(en.count(id)) << id;
        for (const char* mark : {"%1", "%2"})
            EXPECT_EQ(words.find(mark) == words.npos, en.at(id).find(mark) == words.npos) << id;
    }
    EXPECT_EQ(it.size(), en.size());
}

TEST(Texts, ItalianForItalianWindowsAndEnglishForAnyOther) {
    for (auto [windows, spoken] : {std::pair{0x0410u, Language::Italian},
                                   {0x0810u, Language::Italian},
                                   {0x0407u, Language::English}})
        EXPECT_EQ(languageFor(windows), spoken) << windows;
    EXPECT_EQ(say(IDS_INCOMPLETE_FILE, {"3 MB", "700 MB"}), "file incompleto: 3 MB di 700 MB");
}
