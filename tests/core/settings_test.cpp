#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/about_links.h"

using namespace caldrift;
using namespace caldrift::testing;

namespace {
const std::string kExample =
    "[PSP Setting]\r\nDrive = AUTO\r\nPSP Versione = 2.71\r\n\r\n[APP Setting]\r\n"
    "Startup = 1\r\nTrasparenza = 40\r\n";

// The example file with one line (counted from 1) replaced.
SettingsLines withLine(int number, const std::string& line) {
    std::vector<std::string> lines = readLines(kExample);
    lines[number - 1] = line;
    return SettingsLines(lines);
}
const SettingsLines kExampleLines{readLines(kExample)};
const ProgramLocation kInstalled{"C:\\Program Files\\Caldrift\\PSP.exe",
                                 {"C:\\Program Files", "C:\\Program Files (x86)"}};

struct Settings : ::testing::Test {
    FakeFolder folder;
    FakeRegistry registry;
    FakeDropWindow window;
    FakeDialog dialog;
    const RegistryRoot machine = RegistryRoot::LocalMachine, user = RegistryRoot::CurrentUser;
    void load(const SettingsLines& lines) { loadconf(lines, window, registry, kInstalled); }

    void TearDown() override {
        EXPECT_EQ(registry.faults, std::vector<std::string>{});
        EXPECT_EQ(registry.openKeys, 0);
    }
    bool set(const std::string& data) {
        return SetRegValue(registry, machine, kRunKey, kRunValueName, data);
    }
};
}  // namespace

TEST_F(Settings, SavedFormIsSevenLinesByteForByteAndFillsTheDialogBack) {
    ASSERT_TRUE(saveSettings(folder, SettingsForm{true, "e:", "2.71", true, 40}));
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"Setting.INI", kExample}}));
    readconf(readSettings(folder), dialog);
    EXPECT_EQ(dialog.state(), std::make_tuple(true, "", "2.71", true, 40));
    EXPECT_EQ(settingsText(SettingsForm{false, "e:", "2.71", false, 0}),
              "[PSP Setting]\r\nDrive = e:\r\nPSP Versione = 2.71\r\n\r\n[APP Setting]\r\n"
              "Startup = 0\r\nTrasparenza = 0\r\n");

    // Values the file cannot give leave the dialog as it was.
    readconf(withLine(3, "PSP Versione ="), dialog);
    EXPECT_EQ(dialog.firmware, "2.71");
    readconf(withLine(7, "Trasparenza = lots"), dialog);
    EXPECT_EQ(dialog.slider, 40);
    readconf(withLine(2, "Drive = AUTO "), dialog);
    EXPECT_FALSE(dialog.automatic);
    readconf(withLine(2, "Drive = e:"), dialog);  // the drive list starts on the saved drive
    EXPECT_EQ(dialog.drive, "E:");
}

TEST(SettingsFile, LinesEndAtCrLfOrLoneCrButNotLoneLfAndValuesFollowTheLastEquals) {
    EXPECT_EQ(readLines("a\r\nb\rc\nd\r\n"), (std::vector<std::string>{"a", "b", "c\nd"}));
    EXPECT_EQ(readLines("a\r\n\r\nlast"), (std::vector<std::string>{"a", "", "last"}));
    EXPECT_TRUE(readLines("").empty());
    // A value is what follows the character after the last "=".
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"Drive = E:", "E:"}, {"Drive=E:", ":"},  {"Drive = ", ""},
        {"Drive =", {}},      {"a = b = c", "c"}, {"PSP Versione =àè", "è"},  // characters
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(valueCut(line), value) << line;
}

TEST(SettingsFile, DriveAndStartupLinesMatchExactly) {
    EXPECT_FALSE(withLine(2, "Drive = auto").automaticDrive());
    EXPECT_EQ(withLine(2, "Drive = auto").fixedDrive(), "AUTO");
    EXPECT_EQ(withLine(2, "Drive = e:").fixedDrive(), "E:");
    EXPECT_EQ(withLine(2, "Drive =").fixedDrive(), std::nullopt);
    EXPECT_TRUE(withLine(6, "Startup = 1").startWithWindows());
    EXPECT_FALSE(withLine(6, "Startup = 1 ").startWithWindows());
    EXPECT_FALSE(withLine(6, "startup = 1").startWithWindows());
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

TEST_F(Settings, MissingFileShortFileAndLinesWithoutEqualsTakeTheShippedValues) {
    SettingsLines missing = readSettings(folder);
    EXPECT_TRUE(folder.files.empty());  // reading writes nothing
    EXPECT_TRUE(missing.automaticDrive());
    EXPECT_FALSE(missing.startWithWindows());
    SettingsLines shortFile(readLines("[PSP Setting]\r\nDrive = g:\r\n"));
    EXPECT_EQ(shortFile.fixedDrive(), "G:");
    std::vector<std::string> lines = readLines(kExample + "extra line\r\n");
    lines[2] = "\x01\xff garbage";
    SettingsLines garbage(lines);
    EXPECT_TRUE(garbage.startWithWindows());  // the other lines still count
    for (const SettingsLines& read : {missing, shortFile, garbage})
        EXPECT_EQ(read.firmware(), "PSP Versione = 1.00");
    for (const SettingsLines& read : {missing, shortFile}) EXPECT_EQ(read.opacity(), 255);
}

TEST_F(Settings, RunValueIsAStringWhenMissingAndKeepsTheTypeItHas) {
    EXPECT_TRUE(writeRunValue(registry, kInstalled, true));
    EXPECT_EQ(registry.value(machine).type, kRegistryString);
    EXPECT_EQ(registry.text(machine), "\"C:\\Program Files\\Caldrift\\PSP.exe\"");
    EXPECT_TRUE(registry.values[user].empty());

    registry.value(machine) = {kRegistryNumber, {9, 0, 0, 0}};
    EXPECT_TRUE(set("258.5x"));
    EXPECT_EQ(registry.value(machine).bytes, (std::vector<std::uint8_t>{2, 1, 0, 0}));  // 258
    EXPECT_TRUE(set("C:\\x"));
    EXPECT_EQ(registry.value(machine).bytes, (std::vector<std::uint8_t>{0, 0, 0, 0}));

    registry.value(machine) = {3, {0xde, 0xad}};
    EXPECT_TRUE(set("new"));
    EXPECT_EQ(registry.value(machine).bytes, (std::vector<std::uint8_t>{0xde, 0xad}));  // as it was
}

TEST_F(Settings, OnlyAProgramUnderProgramFilesGetsTheMachineWideValue) {
    for (const char* path : {"C:\\Users\\anna\\Caldrift.exe", "C:\\Program Files Evil\\C.exe",
                             "C:\\Program Files", "D:\\Program Files\\Caldrift.exe"}) {
        registry.values.clear();
        EXPECT_TRUE(writeRunValue(registry, {path, kInstalled.adminFolders}, true)) << path;
        EXPECT_TRUE(registry.values[machine].empty()) << path;
        EXPECT_EQ(registry.text(user), "\"" + std::string(path) + "\"");
    }
    EXPECT_TRUE(isUnderAdminFolder({"c:\\program files (X86)\\C\\C.exe", kInstalled.adminFolders}));
}

TEST_F(Settings, RunValueFallsBackToTheUserOnlyWhenTheMachineKeyIsRefused) {
    registry.machineRefused = true;
    EXPECT_FALSE(set("x"));
    EXPECT_TRUE(writeRunValue(registry, kInstalled, true));
    EXPECT_EQ(registry.text(user), "\"C:\\Program Files\\Caldrift\\PSP.exe\"");
    EXPECT_TRUE(registry.values[machine].empty());

    FakeRegistry failing;
    failing.queryFailure = 234;  // more data than the buffer holds
    EXPECT_FALSE(writeRunValue(failing, kInstalled, true));
    EXPECT_TRUE(failing.values[user].empty());
    EXPECT_TRUE(failing.balanced());
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
    load(kExampleLines);
    EXPECT_EQ(window.state(), std::make_tuple(true, "NO", "PSP Versione = 2.71", 195));
    EXPECT_EQ(registry.text(machine), "\"C:\\Program Files\\Caldrift\\PSP.exe\"");

    load(withLine(2, "Drive = e:"));
    EXPECT_FALSE(window.automatic);
    EXPECT_EQ(window.caption, "E:");
    window.opacity.reset();
    load(withLine(7, "Trasparenza = x"));
    EXPECT_EQ(window.opacity, std::nullopt);
    load(withLine(2, "Drive ="));
    EXPECT_FALSE(window.automatic);
    EXPECT_EQ(window.caption, "E:");  // kept

    // A file another program holds: the shipped values, the Run value left alone.
    folder.files["Setting.INI"] = kExample;
    folder.held.insert("Setting.INI");
    SettingsLines held = readSettings(folder);
    EXPECT_FALSE(held.readable());
    load(held);
    EXPECT_EQ(window.opacity, 255);
    EXPECT_EQ(registry.values[machine].count(kRunValueName), 1u);

    load(withLine(6, "Startup = 0"));
    EXPECT_EQ(registry.values[machine].count(kRunValueName), 0u);
}

TEST(AboutLinks, MailSubjectStaysAsWrittenAndTheTooltipNamesTheHost) {
    EXPECT_EQ(mailLink("caldrift@example.org"),
              "mailto:caldrift@example.org?subject=Informazioni su Caldrift Final 1.0");
    EXPECT_EQ(siteTooltip("https://caldrift.example.org/"), "Link Al Sito CALDRIFT.EXAMPLE.ORG");
    EXPECT_EQ(siteTooltip("http://user@Psp.Example.net:8080/a?b"), "Link Al Sito PSP.EXAMPLE.NET");
    EXPECT_EQ(siteTooltip("www.example.it"), "Link Al Sito WWW.EXAMPLE.IT");
}
