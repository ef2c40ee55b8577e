#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace caldrift {

constexpr const char* kSettingsFileName = "Setting.INI";

// The drop window's opacity at slider position 0; each step adds one.
constexpr int kOpacityOfSliderZero = 155;

// What the program reads from Setting.INI, each setting on a line of its own.
enum class Setting { Drive, Firmware, Startup, Transparency, Compress };

enum class LineKind { Section, Blank, Value };
// One line of Setting.INI. A value line is written "Key = value"; one that a
// damaged or missing file lacks, or that has no "=", reads as its shipped line.
struct SettingsFileLine {
    LineKind kind;
    const char* text;          // a section's header, or a value line's key
    const char* shipped = "";  // a value line's shipped value
    Setting setting{};         // a value line's setting
};

constexpr const char* kAutomaticDrive = "AUTO";
constexpr const char* kFlagOn = "1";
constexpr const char* kFlagOff = "0";

// Setting.INI, line by line: what the program writes and reads, and the file
// that ships beside it.
constexpr SettingsFileLine kSettingsFileLines[] = {
    {LineKind::Section, "[PSP Setting]"},
    {LineKind::Value, "Drive", kAutomaticDrive, Setting::Drive},
    {LineKind::Value, "PSP Versione", "1.00", Setting::Firmware},
    {LineKind::Blank, ""},
    {LineKind::Section, "[APP Setting]"},
    {LineKind::Value, "Startup", kFlagOff, Setting::Startup},
    {LineKind::Value, "Trasparenza", "100", Setting::Transparency},
    {LineKind::Value, "Comprimi", kFlagOff, Setting::Compress},  // a file of seven lines: off
};

// The line that holds a setting; a setting without one stops the build.
constexpr std::size_t lineOf(Setting setting) {
    for (std::size_t i = 0; i < std::size(kSettingsFileLines); ++i)
        if (kSettingsFileLines[i].kind == LineKind::Value &&
            kSettingsFileLines[i].setting == setting)
            return i;
    throw "a setting without its line";
}

// The file as it ships, CR LF after every line.
std::string shippedSettingsText();

// Lines end at CR LF or at a lone CR; a lone LF belongs to the line.
std::vector<std::string> readLines(const std::string& text);

// Everything after the character that follows the last "=", which with the
// written spacing "Key = value" is the value. Nothing when "=" ends the line.
std::optional<std::string> valueCut(const std::string& line);

// The lines of the file, each value line as written or else as shipped.
class SettingsLines {
public:
    explicit SettingsLines(std::vector<std::string> fileLines);
    static SettingsLines shipped();
    // The shipped lines, standing for a file that is there but could not be read.
    static SettingsLines unreadable();
    bool readable() const { return readable_; }
    const std::vector<std::string>& all() const { return lines_; }

    template <Setting setting>
    const std::string& line() const {
        constexpr std::size_t number = lineOf(setting);
        return lines_[number];
    }
    const std::string& drive() const { return line<Setting::Drive>(); }
    const std::string& firmware() const { return line<Setting::Firmware>(); }
    const std::string& startup() const { return line<Setting::Startup>(); }
    const std::string& transparency() const { return line<Setting::Transparency>(); }

    bool automaticDrive() const;
    bool startWithWindows() const;
    bool compressImages() const;
    // The fixed drive as Label1 shows it: the value, upper-cased.
    std::optional<std::string> fixedDrive() const;
    std::optional<std::string> firmwareVersion() const { return valueCut(firmware()); }
    // The slider position, and the window opacity it stands for.
    std::optional<std::int32_t> sliderPosition() const;
    std::optional<int> opacity() const;

private:
    std::optional<double> transparencyNumber() const;
    std::vector<std::string> lines_;
    bool readable_ = true;
};

// What the settings dialog holds, as saveconf writes it.
struct SettingsForm {
    bool automaticDrive = true;
    std::string drive;  // "e:", as the drive selector gives it
    std::string firmware;
    bool startWithWindows = false;
    int transparency = 100;
    bool compressImages = false;  // set from the menu, kept as the file has it
};

std::string settingsText(const SettingsForm& form);

// The program folder's files, as text. Writes create or truncate.
class SettingsFolder {
public:
    virtual ~SettingsFolder() = default;
    // Nothing when the file is missing or cannot be read.
    virtual std::optional<std::string> read(const std::string& name) = 0;
    virtual bool exists(const std::string& name) = 0;
    virtual bool write(const std::string& name, const std::string& text) = 0;
    // Puts `from` in the place of `to` in one step.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& name) = 0;
    // The system's words for the last step that failed; empty when it has none.
    virtual std::string failureReason() const { return {}; }
};

SettingsLines readSettings(SettingsFolder& folder);
// Writes the new file beside the old one and then swaps them, so a failed
// write leaves the old file whole. False when Setting.INI was not replaced.
bool saveSettings(SettingsFolder& folder, const SettingsForm& form);
// Setting.INI with one flag set, its other lines as they are read; a file
// that cannot be read is left alone.
bool saveFlag(SettingsFolder& folder, Setting setting, bool on);

// A decimal number with optional blanks around it; nothing when it is not one.
std::optional<double> parseDecimal(const std::string& text);

}  // namespace caldrift
