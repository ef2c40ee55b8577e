#include <gtest/gtest.h>

#include <map>
#include <set>

#include "settings/about_links.h"
#include "settings/apply_settings.h"

namespace caldrift {
namespace {

const std::string kExample =
    "[PSP Setting]\r\nDrive = AUTO\r\nPSP Versione = 2.71\r\n\r\n[APP Setting]\r\n"
    "Startup = 1\r\nTrasparenza = 40\r\n";

SettingsLines fromText(const std::string& text) { return SettingsLines(readLines(text)); }

std::string withLine(int number, const std::string& line) {
    std::vector<std::string> lines = readLines(kExample);
    lines[number - 1] = line;
    std::string text;
    for (auto& l : lines) text += l + "\r\n";
    return text;
}

class FakeFolder : public SettingsFolder {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> held;  // there, but another program keeps them from us
    bool readOnly = false;
    bool replaceFails = false;

    std::optional<std::string> read(const std::string& name) override {
        auto it = files.find(name);
        if (held.count(name)) return std::nullopt;
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool write(const std::string& name, const std::string& text) override {
        if (readOnly) return false;
        files[name] = text;
        return true;
    }
    bool replace(const std::string& from, const std::string& to) override {
        if (replaceFails || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void remove(const std::string& name) override { files.erase(name); }
    bool exists(const std::string& name) override { return files.count(name) > 0; }
};

TEST(SettingsFile, SavedExampleIsSevenLinesByteForByteAndReadsBack) {
    SettingsForm form{true, "e:", "2.71", true, 40};
    FakeFolder folder;
    ASSERT_TRUE(saveSettings(folder, form));
    EXPECT_EQ(folder.files.at("Setting.INI"), kExample);
    EXPECT_EQ(folder.files.size(), 1u);  // nothing left beside it

    SettingsLines read = readSettings(folder);
    EXPECT_TRUE(read.automaticDrive());
    EXPECT_EQ(read.firmware(), "PSP Versione = 2.71");
    EXPECT_TRUE(read.startWithWindows());
    EXPECT_EQ(read.opacity(), 195);

    form.automaticDrive = false;
    form.startWithWindows = false;
    form.transparency = 0;
    EXPECT_EQ(settingsText(form),
              "[PSP Setting]\r\nDrive = e:\r\nPSP Versione = 2.71\r\n\r\n[APP Setting]\r\n"
              "Startup = 0\r\nTrasparenza = 0\r\n");
}

TEST(SettingsFile, SaveThatCannotWriteKeepsTheOldFileAndSaysSo) {
    FakeFolder folder;
    folder.files["Setting.INI"] = kExample;
    folder.readOnly = true;
    EXPECT_FALSE(saveSettings(folder, SettingsForm{false, "f:", "1.50", false, 0}));
    EXPECT_EQ(folder.files.at("Setting.INI"), kExample);

    folder.readOnly = false;
    folder.replaceFails = true;
    EXPECT_FALSE(saveSettings(folder, SettingsForm{false, "f:", "1.50", false, 0}));
    EXPECT_EQ(folder.files.at("Setting.INI"), kExample);
    EXPECT_EQ(folder.files.size(), 1u);
}

TEST(SettingsFile, LinesEndAtCrLfOrLoneCrButNotLoneLf) {
    EXPECT_EQ(readLines("a\r\nb\rc\nd\r\n"), (std::vector<std::string>{"a", "b", "c\nd"}));
    EXPECT_EQ(readLines("a\r\n\r\nlast"), (std::vector<std::string>{"a", "", "last"}));
    EXPECT_TRUE(readLines("").empty());
}

TEST(SettingsFile, ValueCutTakesWhatFollowsTheCharacterAfterTheLastEquals) {
    EXPECT_EQ(valueCut("Drive = E:"), "E:");
    EXPECT_EQ(valueCut("Drive=E:"), ":");
    EXPECT_EQ(valueCut("Drive = "), "");
    EXPECT_EQ(valueCut("Drive ="), std::nullopt);
    EXPECT_EQ(valueCut("a = b = c"), "c");
    EXPECT_EQ(valueCut("PSP Versione =àè"), "è");  // characters, not bytes
}

TEST(SettingsFile, DriveAndStartupLinesMatchExactly) {
    SettingsLines lowerAuto = fromText(withLine(2, "Drive = auto"));
    EXPECT_FALSE(lowerAuto.automaticDrive());
    EXPECT_EQ(lowerAuto.fixedDrive(), "AUTO");
    EXPECT_EQ(fromText(withLine(2, "Drive = e:")).fixedDrive(), "E:");
    EXPECT_EQ(fromText(withLine(2, "Drive =")).fixedDrive(), std::nullopt);

    EXPECT_FALSE(fromText(withLine(6, "Startup = 1 ")).startWithWindows());
    EXPECT_FALSE(fromText(withLine(6, "startup = 1")).startWithWindows());
    EXPECT_TRUE(fromText(withLine(6, "Startup = 1")).startWithWindows());
}

TEST(SettingsFile, TransparencyBecomesAnOpacityOnlyWhenItIsANumber) {
    auto opacity = [](const std::string& value) {
        return fromText(withLine(7, "Trasparenza = " + value)).opacity();
    };
    EXPECT_EQ(opacity("0"), 155);
    EXPECT_EQ(opacity("100"), 255);
    EXPECT_EQ(opacity("101"), 256);  // out of a byte: the window decides
    EXPECT_EQ(opacity("0.5"), 156);  // 155.5 to the even 156
    EXPECT_EQ(opacity("1.5"), 156);  // 156.5 to the even 156
    EXPECT_EQ(opacity("abc"), std::nullopt);
    EXPECT_EQ(opacity(""), std::nullopt);
    EXPECT_EQ(opacity("4O"), std::nullopt);
    EXPECT_EQ(opacity("40000"), std::nullopt);  // beyond 16 bits
    EXPECT_EQ(fromText(withLine(7, "Trasparenza =")).opacity(), std::nullopt);
    EXPECT_EQ(fromText(withLine(7, "Trasparenza = 2.5")).sliderPosition(), 2);
}

TEST(SettingsFile, MissingFileShortFileAndLinesWithoutEqualsTakeTheShippedValues) {
    FakeFolder empty;
    SettingsLines missing = readSettings(empty);
    EXPECT_TRUE(missing.automaticDrive());
    EXPECT_EQ(missing.firmware(), "PSP Versione = 1.00");
    EXPECT_FALSE(missing.startWithWindows());
    EXPECT_EQ(missing.opacity(), 255);
    EXPECT_TRUE(empty.files.empty());  // reading writes nothing

    SettingsLines shortFile = fromText("[PSP Setting]\r\nDrive = g:\r\n");
    EXPECT_EQ(shortFile.fixedDrive(), "G:");
    EXPECT_EQ(shortFile.firmware(), "PSP Versione = 1.00");
    EXPECT_EQ(shortFile.opacity(), 255);

    SettingsLines garbage = fromText(withLine(3, "\x01\xff garbage") + "extra line\r\n");
    EXPECT_EQ(garbage.firmware(), "PSP Versione = 1.00");
    EXPECT_TRUE(garbage.startWithWindows());  // the other lines still count
}

class FakeRegistry : public Registry {
public:
    struct Value {
        unsigned long type;
        std::vector<std::uint8_t> bytes;
    };
    std::map<RegistryRoot, std::map<std::string, Value>> values;
    bool machineRefused = false;
    long queryFailure = 0;
    int openKeys = 0;

    bool open(RegistryRoot root, const std::string& keyPath) override {
        EXPECT_EQ(keyPath, kRunKey);
        if (root == RegistryRoot::LocalMachine && machineRefused) return false;
        ++openKeys;
        current_ = root;
        return true;
    }
    long query(const std::string& name, unsigned long& type, std::vector<std::uint8_t>& data,
               std::size_t& size) override {
        if (queryFailure) return queryFailure;
        auto& key = values[current_];
        auto it = key.find(name);
        if (it == key.end()) return kRegistryValueMissing;
        type = it->second.type;
        std::copy(it->second.bytes.begin(), it->second.bytes.end(), data.begin());
        size = it->second.bytes.size();
        return kRegistryOk;
    }
    long setText(const std::string& name, unsigned long type, const std::string& text) override {
        values[current_][name] = {type, std::vector<std::uint8_t>(text.begin(), text.end())};
        return kRegistryOk;
    }
    long setBytes(const std::string& name, unsigned long type,
                  const std::vector<std::uint8_t>& bytes) override {
        values[current_][name] = {type, bytes};
        return kRegistryOk;
    }
    long remove(const std::string& name) override {
        return values[current_].erase(name) ? kRegistryOk : kRegistryValueMissing;
    }
    void close() override { openKeys = 0; }

    std::string text(RegistryRoot root) {
        auto& v = values[root].at(kRunValueName);
        return std::string(v.bytes.begin(), v.bytes.end());
    }

private:
    RegistryRoot current_ = RegistryRoot::LocalMachine;
};

const ProgramLocation kInstalled{"C:\\Program Files\\Caldrift\\PSP.exe",
                                 {"C:\\Program Files", "C:\\Program Files (x86)"}};

TEST(StartWithWindows, WritesAStringWhenMissingAndKeepsTheTypeItHas) {
    FakeRegistry registry;
    EXPECT_TRUE(writeRunValue(registry, kInstalled, true));
    EXPECT_EQ(registry.values[RegistryRoot::LocalMachine][kRunValueName].type, kRegistryString);
    EXPECT_EQ(registry.text(RegistryRoot::LocalMachine),
              "\"C:\\Program Files\\Caldrift\\PSP.exe\"");
    EXPECT_EQ(registry.openKeys, 0);

    registry.values[RegistryRoot::LocalMachine][kRunValueName] = {kRegistryNumber, {9, 0, 0, 0}};
    EXPECT_TRUE(
        SetRegValue(registry, RegistryRoot::LocalMachine, kRunKey, kRunValueName, "258.5x"));
    EXPECT_EQ(registry.values[RegistryRoot::LocalMachine][kRunValueName].bytes,
              (std::vector<std::uint8_t>{2, 1, 0, 0}));  // 258, low byte first
    EXPECT_TRUE(SetRegValue(registry, RegistryRoot::LocalMachine, kRunKey, kRunValueName, "C:\\x"));
    EXPECT_EQ(registry.values[RegistryRoot::LocalMachine][kRunValueName].bytes,
              (std::vector<std::uint8_t>{0, 0, 0, 0}));

    registry.values[RegistryRoot::LocalMachine][kRunValueName] = {3, {0xde, 0xad}};
    EXPECT_TRUE(SetRegValue(registry, RegistryRoot::LocalMachine, kRunKey, kRunValueName, "new"));
    EXPECT_EQ(registry.values[RegistryRoot::LocalMachine][kRunValueName].bytes,
              (std::vector<std::uint8_t>{0xde, 0xad}));  // left as it was, not padded
}

TEST(StartWithWindows, OnlyAProgramUnderProgramFilesGetsTheMachineWideValue) {
    const char* userFolders[] = {"C:\\Users\\anna\\Caldrift.exe",
                                 "C:\\Program Files Evil\\Caldrift.exe", "C:\\Program Files",
                                 "D:\\Program Files\\Caldrift.exe"};
    for (const char* path : userFolders) {
        FakeRegistry registry;
        EXPECT_TRUE(writeRunValue(registry, {path, kInstalled.adminFolders}, true)) << path;
        EXPECT_TRUE(registry.values[RegistryRoot::LocalMachine].empty()) << path;
        EXPECT_EQ(registry.text(RegistryRoot::CurrentUser), "\"" + std::string(path) + "\"");
    }
    EXPECT_TRUE(isUnderAdminFolder({"c:\\program files (X86)\\C\\C.exe", kInstalled.adminFolders}));
}

TEST(StartWithWindows, FallsBackToTheUserOnlyWhenTheMachineKeyIsRefused) {
    FakeRegistry registry;
    registry.machineRefused = true;
    EXPECT_FALSE(SetRegValue(registry, RegistryRoot::LocalMachine, kRunKey, kRunValueName, "x"));
    EXPECT_TRUE(writeRunValue(registry, kInstalled, true));
    EXPECT_EQ(registry.text(RegistryRoot::CurrentUser), "\"C:\\Program Files\\Caldrift\\PSP.exe\"");
    EXPECT_TRUE(registry.values[RegistryRoot::LocalMachine].empty());

    FakeRegistry failing;
    failing.queryFailure = 234;  // more data than the buffer holds
    EXPECT_FALSE(writeRunValue(failing, kInstalled, true));
    EXPECT_TRUE(failing.values[RegistryRoot::CurrentUser].empty());
    EXPECT_EQ(failing.openKeys, 0);
}

TEST(StartWithWindows, NotStartingRemovesTheValueFromBothKeys) {
    FakeRegistry registry;
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser})
        registry.values[root][kRunValueName] = {kRegistryString, {'x'}};
    registry.values[RegistryRoot::CurrentUser]["Other"] = {kRegistryString, {'y'}};
    EXPECT_TRUE(writeRunValue(registry, kInstalled, false));
    EXPECT_TRUE(registry.values[RegistryRoot::LocalMachine].empty());
    EXPECT_EQ(registry.values[RegistryRoot::CurrentUser].size(), 1u);  // only ours goes
    EXPECT_TRUE(writeRunValue(registry, kInstalled, false));           // nothing left: fine

    registry.machineRefused = true;
    registry.values[RegistryRoot::CurrentUser][kRunValueName] = {kRegistryString, {'x'}};
    EXPECT_TRUE(writeRunValue(registry, kInstalled, false));
    EXPECT_EQ(registry.values[RegistryRoot::CurrentUser].count(kRunValueName), 0u);
}

class FakeDropWindow : public DropWindowSettings {
public:
    bool automatic = false;
    std::string caption = "NO";
    std::string label2 = "PSP Version";
    std::optional<int> opacity;
    void startAutomaticDetection() override { automatic = true; }
    void useFixedDrive(const std::optional<std::string>& drive) override {
        automatic = false;
        if (drive) caption = *drive;
    }
    void showFirmwareLine(const std::string& line) override { label2 = line; }
    void setOpacity(int value) override { opacity = value; }
};

TEST(ApplySettings, LoadconfAppliesTheFileToTheDropWindowAndTheRunValue) {
    FakeDropWindow window;
    FakeRegistry registry;
    const ProgramLocation program{"C:\\Program Files\\My Apps\\Caldrift.exe",
                                  {"C:\\Program Files"}};
    loadconf(fromText(kExample), window, registry, program);
    EXPECT_TRUE(window.automatic);
    EXPECT_EQ(window.caption, "NO");
    EXPECT_EQ(window.label2, "PSP Versione = 2.71");
    EXPECT_EQ(window.opacity, 195);
    EXPECT_EQ(registry.text(RegistryRoot::LocalMachine),
              "\"C:\\Program Files\\My Apps\\Caldrift.exe\"");

    loadconf(fromText(withLine(2, "Drive = e:")), window, registry, program);
    EXPECT_FALSE(window.automatic);
    EXPECT_EQ(window.caption, "E:");

    window.opacity.reset();
    loadconf(fromText(withLine(7, "Trasparenza = x")), window, registry, program);
    EXPECT_EQ(window.opacity, std::nullopt);

    loadconf(fromText(withLine(2, "Drive =")), window, registry, program);
    EXPECT_FALSE(window.automatic);
    EXPECT_EQ(window.caption, "E:");  // kept

    FakeFolder held;
    held.files["Setting.INI"] = withLine(6, "Startup = 0");
    held.held.insert("Setting.INI");
    SettingsLines unreadable = readSettings(held);
    EXPECT_FALSE(unreadable.readable());
    loadconf(unreadable, window, registry, program);
    EXPECT_EQ(window.opacity, 255);  // the shipped values reach the window
    EXPECT_EQ(registry.values[RegistryRoot::LocalMachine].count(kRunValueName), 1u);

    loadconf(fromText(withLine(6, "Startup = 0")), window, registry, program);
    EXPECT_EQ(registry.values[RegistryRoot::LocalMachine].count(kRunValueName), 0u);
}

class FakeDialog : public SettingsDialogControls {
public:
    bool automatic = false, startup = false;
    std::string firmware = "1.00";
    int slider = 100;
    void setAutomaticDrive(bool on) override { automatic = on; }
    void setDrive(const std::string& letter) override { drive = letter; }
    std::string drive;
    void setFirmware(const std::string& version) override { firmware = version; }
    void setStartWithWindows(bool on) override { startup = on; }
    void setSliderPosition(int position) override { slider = position; }
};

TEST(ApplySettings, ReadconfFillsTheDialogAndLeavesUnreadableValuesAlone) {
    FakeDialog dialog;
    readconf(fromText(kExample), dialog);
    EXPECT_TRUE(dialog.automatic);
    EXPECT_EQ(dialog.firmware, "2.71");
    EXPECT_TRUE(dialog.startup);
    EXPECT_EQ(dialog.slider, 40);

    readconf(fromText(withLine(3, "PSP Versione =")), dialog);
    EXPECT_EQ(dialog.firmware, "2.71");
    readconf(fromText(withLine(7, "Trasparenza = lots")), dialog);
    EXPECT_EQ(dialog.slider, 40);
    EXPECT_EQ(dialog.drive, "");  // automatic: the list keeps its own choice
    readconf(fromText(withLine(2, "Drive = AUTO ")), dialog);
    EXPECT_FALSE(dialog.automatic);
    readconf(fromText(withLine(2, "Drive = e:")), dialog);
    EXPECT_EQ(dialog.drive, "E:");
}

}  // namespace
}  // namespace caldrift

namespace caldrift {
namespace {

TEST(AboutLinks, MailSubjectStaysAsWrittenAndTheTooltipNamesTheHost) {
    EXPECT_EQ(mailLink("caldrift@example.org"),
              "mailto:caldrift@example.org?subject=Informazioni su Caldrift Final 1.0");
    EXPECT_EQ(siteTooltip("https://caldrift.example.org/"), "Link Al Sito CALDRIFT.EXAMPLE.ORG");
    EXPECT_EQ(siteTooltip("http://user@Psp.Example.net:8080/a?b"), "Link Al Sito PSP.EXAMPLE.NET");
    EXPECT_EQ(siteTooltip("www.example.it"), "Link Al Sito WWW.EXAMPLE.IT");
}

}  // namespace
}  // namespace caldrift
