#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace caldrift {

constexpr const char* kSettingsFileName = "Setting.INI";

// The drop window's opacity at slider position 0; each step adds one.
constexpr int kOpacityOfSliderZero = 155;

// The file that ships beside the program; its lines also stand in for any
// line that a damaged or missing file lacks.
constexpr const char* kShippedSettings =
    "[PSP Setting]\r\n"
    "Drive = AUTO\r\n"
    "PSP Versione = 1.00\r\n"
    "\r\n"
    "[APP Setting]\r\n"
    "Startup = 0\r\n"
    "Trasparenza = 100\r\n";

// Lines end at CR LF or at a lone CR; a lone LF belongs to the line.
std::vector<std::string> readLines(const std::string& text);

// Everything after the character that follows the last "=", which with the
// written spacing "Key = value" is the value. Nothing when "=" ends the line.
std::optional<std::string> valueCut(const std::string& line);

// The four lines the program reads, by their position in the file.
class SettingsLines {
public:
    explicit SettingsLines(std::vector<std::string> fileLines);
    static SettingsLines shipped();
    // The shipped lines, standing for a file that is there but could not be read.
    static SettingsLines unreadable();
    bool readable() const { return readable_; }

    const std::string& drive() const { return lines_[1]; }
    const std::string& firmware() const { return lines_[2]; }
    const std::string& startup() const { return lines_[5]; }
    const std::string& transparency() const { return lines_[6]; }

    bool automaticDrive() const { return drive() == "Drive = AUTO"; }
    bool startWithWindows() const { return startup() == "Startup = 1"; }
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

// A decimal number with optional blanks around it; nothing when it is not one.
std::optional<double> parseDecimal(const std::string& text);

}  // namespace caldrift
