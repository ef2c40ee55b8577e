#include <gtest/gtest.h>

#include <fstream>

#include "fakes.h"
#include "settings/about_links.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
const std::string kExample =
    "[PSP Setting]\r\nDrive = AUTO\r\nPSP Versione = 2.71\r\n\r\n[APP Setting]\r\n"
    "Startup = 1\r\nTrasparenza = 40\r\n";

// The example file with one line (counted from 1) replaced, or added.
SettingsLines withLine(int number, const std::string& line) {
    std::vector<std::string> lines = readLines(kExample);
    lines.resize(std::max<std::size_t>(lines.size(), number));
    lines[number - 1] = line;
    return SettingsLines(lines);
}
const ProgramLocation kInstalled{"C:\\Program Files\\Caldrift\\PSP.exe",
                                 {"C:\\Program Files", "C:\\Program Files (x86)"}};

struct Settings : ::testing::Test {
    FakeFolder folder;
    FakeDropWindow window;
    FakeRegistry registry;
    const RegistryRoot machine = RegistryRoot::LocalMachine, user = RegistryRoot::CurrentUser;
    void TearDown() override { EXPECT_TRUE(registry.balanced()); }
};
}  // namespace

TEST_F(Settings, SavedFormIsEightLinesByteForByteAndFillsTheDialogBack) {
    FakeDialog dialog;
    ASSERT_TRUE(saveSettings(folder, SettingsForm{true, "e:", "2.71", true, 40}));
    EXPECT_EQ(folder.files,
              (std::map<std::string, std::string>{{"Setting.INI", kExample + "Comprimi = 0\r\n"}}));
    readconf(readSettings(folder), dialog);
    EXPECT_EQ(dialog.state(), std::make_tuple(true, "", "2.71", true, 40));
    EXPECT_EQ(settingsText(SettingsForm{false, "e:", "2.71", false, 0}),
              "[PSP Setting]\r\nDrive = e:\r\nPSP Versione = 2.71\r\n\r\n[APP Setting]\r\n"
              "Startup = 0\r\nTrasparenza = 0\r\nComprimi = 0\r\n");
    // Values the file cannot give leave the dialog as it was.
    readconf(withLine(3, "PSP Versione ="), dialog);
    readconf(withLine(7, "Trasparenza = lots"), dialog);
    readconf(withLine(2, "Drive = e:"), dialog);  // the drive list starts on the saved drive
    EXPECT_EQ(dialog.state(), std::make_tuple(false, "E:", "2.71", true, 40));
}

// A file of seven lines, as earlier versions wrote it, gains the eighth line
// from the menu; one another program holds is left alone. Only "= 1" compresses.
TEST_F(Settings, TheMenusFlagIsTheEighthLineAndTheOthersStayAsTheyAre) {
    folder.files["Setting.INI"] = kExample;
    ASSERT_TRUE(saveFlag(folder, Setting::Compress, true));
    EXPECT_EQ(folder.files["Setting.INI"], kExample + "Comprimi = 1\r\n");
    loadconf(readSettings(folder), window, registry, kInstalled);
    EXPECT_TRUE(window.compress);
    for (const char* other : {"Comprimi = 0", "Comprimi = si", "Comprimi"})
        EXPECT_FALSE(withLine(8, other).compressImages()) << other;
    folder.held.insert("Setting.INI");
    EXPECT_FALSE(saveFlag(folder, Setting::Compress, false));
    EXPECT_EQ(folder.files["Setting.INI"], kExample + "Comprimi = 1\r\n");
}

TEST(SettingsFile, TheFileThatShipsIsTheShippedText) {
    std::ifstream file(CALDRIFT_SOURCE_DIR "/resources/Setting.INI", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), shippedSettingsText());
}

TEST(SettingsFile, LinesEndAtCrLfOrLoneCrButNotLoneLfAndValuesFollowTheLastEquals) {
    EXPECT_EQ(readLines("a\r\nb\rc\nd\r\n\r\nlast"),
              (std::vector<std::string>{"a", "b", "c\nd", "", "last"}));
    EXPECT_EQ(readLines("a\r\n"), std::vector<std::string>{"a"});
    // A value is what follows the character after the last "=".
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"Drive = E:", "E:"}, {"Drive=E:", ":"},  {"Drive = ", ""},
        {"Drive =", {}},      {"a = b = c", "c"}, {"PSP Versione =àè", "è"},  // characters
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(valueCut(line), value) << line;
}

TEST_F(Settings, LinesCountOnlyAsWrittenAndThoseWithoutEqualsAreTheShippedOnes) {
    EXPECT_FALSE(withLine(2, "Drive = AUTO ").automaticDrive());
    EXPECT_FALSE(withLine(2, "Drive = auto").automaticDrive());
    EXPECT_TRUE(withLine(2, "Drive e:").automaticDrive());
    EXPECT_FALSE(withLine(6, "Startup = 1 ").startWithWindows());
    EXPECT_FALSE(withLine(6, "startup = 1").startWithWindows());
    EXPECT_TRUE(withLine(3, "\x01\xff garbage").startWithWindows());  // the other lines still count
    SettingsLines missing = readSettings(folder),
                  shortFile(readLines("[PSP Setting]\r\nDrive = g:"));
    EXPECT_TRUE(folder.files.empty());  // reading writes nothing
    EXPECT_TRUE(missing.automaticDrive());
    EXPECT_EQ(shortFile.fixedDrive(), "G:");
    for (const SettingsLines& read : {missing, shortFile})
        EXPECT_EQ(std::make_tuple(read.firmware(), read.startWithWindows(), read.opacity()),
                  std::make_tuple("PSP Versione = 1.00", false, std::optional(255)));
}

TEST(SettingsFile, TransparencyBecomesAnOpacityOnlyWhenItIsANumber) {
    // 101 is no byte (the window decides), halves go to the even opacity, 40000 is
    // beyond 16 bits.
    const std::pair<const char*, std::optional<int>> cases[] = {
        {" 0", 155},  {" 100", 255}, {" 101", 256}, {" 0.5", 156},  {" 1.5", 156},
        {" abc", {}}, {" ", {}},     {" 4O", {}},   {" 40000", {}}, {"", {}}};
    for (auto [value, opacity] : cases)
        EXPECT_EQ(withLine(7, std::string("Trasparenza =") + value).opacity(), opacity) << value;
    EXPECT_EQ(withLine(7, "Trasparenza = 2.5").sliderPosition(), 2);
}

TEST_F(Settings, RunValueIsMachineWideOnlyForAProgramUnderProgramFilesInAKeyWeMayOpen) {
    const std::tuple<const char*, bool, RegistryRoot> cases[] = {
        {kInstalled.path.c_str(), false, machine},
        {"c:\\program files (X86)\\C\\C.exe", false, machine},
        {kInstalled.path.c_str(), true, user},
        {"C:\\Program Files Evil\\C.exe", false, user},
        {"D:\\Program Files\\Caldrift.exe", false, user}};
    for (auto [path, refused, root] : cases) {
        registry.values.clear();
        registry.machineRefused = refused;
        EXPECT_TRUE(writeRunValue(registry, {path, kInstalled.adminFolders}, true)) << path;
        EXPECT_EQ(registry.values[root == machine ? user : machine].size(), 0u) << path;
        EXPECT_EQ(registry.value(root).type, kRegistryString);
        EXPECT_EQ(registry.value(root).bytes, "\"" + std::string(path) + "\"");
    }
    registry.values.clear();
    registry.machineQueryFailure = 234;  // more data than the buffer holds: no fallback to the user
    EXPECT_FALSE(writeRunValue(registry, kInstalled, true));
    EXPECT_TRUE(registry.values[user].empty());
}

TEST_F(Settings, RunValueKeepsTheTypeItHas) {
    // A number takes the text's leading number, rounded; other types keep their bytes.
    const std::tuple<unsigned long, const char*, std::string> cases[] = {
        {kRegistryNumber, "258.5x", {2, 1, 0, 0}},
        {kRegistryNumber, "C:\\x", {0, 0, 0, 0}},
        {3, "new", "\xde\xad"}};
    for (const auto& [type, data, stored] : cases) {
        registry.values[machine][kRunValueName] = {type, "\xde\xad"};
        EXPECT_TRUE(SetRegValue(registry, machine, kRunKey, kRunValueName, data));
        EXPECT_EQ(registry.value(machine).type, type);
        EXPECT_EQ(registry.value(machine).bytes, stored) << data;
    }
}

TEST_F(Settings, NotStartingWithWindowsRemovesOurValueFromBothKeys) {
    registry.values[machine][kRunValueName] = registry.values[user][kRunValueName] = {1, {'x'}};
    registry.values[user]["Other"] = {kRegistryString, {'y'}};
    EXPECT_TRUE(writeRunValue(registry, kInstalled, false));
    EXPECT_TRUE(registry.values[machine].empty());
    EXPECT_EQ(registry.values[user].size(), 1u);              // only ours goes
    EXPECT_TRUE(writeRunValue(registry, kInstalled, false));  // nothing left: fine
    registry.machineRefused = true;
    registry.values[user][kRunValueName] = {kRegistryString, {'x'}};
    EXPECT_TRUE(writeRunValue(registry, kInstalled, false));
    EXPECT_EQ(registry.values[user].count(kRunValueName), 0u);
}

TEST_F(Settings, LoadconfAppliesTheFileToTheDropWindowAndTheRunValue) {
    auto load = [&](const SettingsLines& lines) { loadconf(lines, window, registry, kInstalled); };
    load(withLine(2, "Drive = e:"));
    EXPECT_EQ(window.state(), std::make_tuple(false, "E:", "PSP Versione = 2.71", 195));
    EXPECT_EQ(registry.value(machine).bytes, "\"" + kInstalled.path + "\"");
    window.opacity.reset();
    load(withLine(7, "Trasparenza = x"));
    EXPECT_EQ(window.opacity, std::nullopt);
    load(withLine(2, "Drive ="));  // the caption stays
    EXPECT_EQ(window.state(), std::make_tuple(false, "E:", "PSP Versione = 2.71", 195));
    // A file another program holds: the shipped values, the Run value left alone.
    folder.files["Setting.INI"] = kExample;
    folder.held.insert("Setting.INI");
    load(readSettings(folder));
    EXPECT_EQ(window.state(), std::make_tuple(true, "E:", "PSP Versione = 1.00", 255));
    EXPECT_EQ(registry.values[machine].count(kRunValueName), 1u);
    load(withLine(6, "Startup = 0"));
    EXPECT_EQ(registry.values[machine].count(kRunValueName), 0u);
}

TEST(AboutLinks, TheTooltipNamesTheHostInCapitals) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://caldrift.example.org/", "CALDRIFT.EXAMPLE.ORG"},
        {"http://user@Psp.Example.net:8080/a?b", "PSP.EXAMPLE.NET"},
        {"www.example.it", "WWW.EXAMPLE.IT"}};
    for (auto [url, host] : cases) EXPECT_EQ(siteTooltip(url), "Link Al Sito " + std::string(host));
}
