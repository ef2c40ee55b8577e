#include "settings/settings_file.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "common/rounding.h"
#include "common/utf8.h"

namespace caldrift {

namespace {
// lineOf finds a setting's first line: there must be no other.
constexpr bool noSettingOnTwoLines() {
    for (const SettingsFileLine& a : kSettingsFileLines)
        for (const SettingsFileLine& b : kSettingsFileLines)
            if (&a != &b && a.kind == LineKind::Value && b.kind == LineKind::Value &&
                a.setting == b.setting)
                return false;
    return true;
}
static_assert(noSettingOnTwoLines());

std::string valueLine(const SettingsFileLine& line, const std::string& value) {
    return std::string(line.text) + " = " + value;
}

std::string valueLine(Setting setting, const std::string& value) {
    return valueLine(kSettingsFileLines[lineOf(setting)], value);
}

// The file with each value line's value as `valueOf` gives it.
template <typename ValueOf>
std::string fileText(ValueOf valueOf) {
    std::string text;
    for (const SettingsFileLine& line : kSettingsFileLines) {
        if (line.kind == LineKind::Section) text += line.text;
        if (line.kind == LineKind::Value) text += valueLine(line, valueOf(line));
        text += "\r\n";
    }
    return text;
}

// A setting's value as the dialog holds it.
std::string formValue(const SettingsForm& form, Setting setting) {
    switch (setting) {
    case Setting::Drive: return form.automaticDrive ? kAutomaticDrive : form.drive;
    case Setting::Firmware: return form.firmware;
    case Setting::Startup: return form.startWithWindows ? kFlagOn : kFlagOff;
    case Setting::Transparency: return std::to_string(form.transparency);
    case Setting::Compress: return form.compressImages ? kFlagOn : kFlagOff;
    }
    return {};
}
}  // namespace

std::string shippedSettingsText() {
    return fileText([](const SettingsFileLine& line) { return line.shipped; });
}

std::vector<std::string> readLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines.push_back(std::move(line));
            line.clear();
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::optional<std::string> valueCut(const std::string& line) {
    std::size_t equals = line.rfind('=');
    if (equals == std::string::npos || equals + 1 == line.size()) return std::nullopt;
    std::size_t equalsPosition = utf8::length(std::string_view(line).substr(0, equals + 1));
    std::size_t valueLength = utf8::length(line) - (equalsPosition + 1);
    return std::string(utf8::lastChars(line, valueLength));
}

SettingsLines::SettingsLines(std::vector<std::string> fileLines) : lines_(std::move(fileLines)) {
    lines_.resize(std::size(kSettingsFileLines));
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const SettingsFileLine& line = kSettingsFileLines[i];
        if (line.kind == LineKind::Value && lines_[i].find('=') == std::string::npos)
            lines_[i] = valueLine(line, line.shipped);
    }
}

SettingsLines SettingsLines::shipped() { return SettingsLines(readLines(shippedSettingsText())); }

SettingsLines SettingsLines::unreadable() {
    SettingsLines lines = shipped();
    lines.readable_ = false;
    return lines;
}

bool SettingsLines::automaticDrive() const {
    return drive() == valueLine(Setting::Drive, kAutomaticDrive);
}

bool SettingsLines::startWithWindows() const {
    return startup() == valueLine(Setting::Startup, kFlagOn);
}

bool SettingsLines::compressImages() const {
    return line<Setting::Compress>() == valueLine(Setting::Compress, kFlagOn);
}

std::optional<std::string> SettingsLines::fixedDrive() const {
    std::optional<std::string> value = valueCut(drive());
    return value ? std::optional(utf8::asciiUpper(*value)) : std::nullopt;
}

std::optional<double> SettingsLines::transparencyNumber() const {
    std::optional<std::string> value = valueCut(transparency());
    return value ? parseDecimal(*value) : std::nullopt;
}

std::optional<std::int32_t> SettingsLines::sliderPosition() const {
    std::optional<double> number = transparencyNumber();
    return number ? roundedInRange<std::int32_t>(*number) : std::nullopt;
}

std::optional<int> SettingsLines::opacity() const {
    std::optional<double> number = transparencyNumber();
    if (!number) return std::nullopt;
    return roundedInRange<std::int16_t>(*number + kOpacityOfSliderZero);
}

std::string settingsText(const SettingsForm& form) {
    return fileText(
        [&form](const SettingsFileLine& line) { return formValue(form, line.setting); });
}

SettingsLines readSettings(SettingsFolder& folder) {
    std::optional<std::string> text = folder.read(kSettingsFileName);
    if (text) return SettingsLines(readLines(*text));
    return folder.exists(kSettingsFileName) ? SettingsLines::unreadable()
                                            : SettingsLines::shipped();
}

namespace {
bool saveText(SettingsFolder& folder, const std::string& text) {
    const std::string fresh = std::string(kSettingsFileName) + ".new";
    if (folder.write(fresh, text) && folder.replace(fresh, kSettingsFileName)) return true;
    folder.remove(fresh);
    return false;
}
}  // namespace

bool saveSettings(SettingsFolder& folder, const SettingsForm& form) {
    return saveText(folder, settingsText(form));
}

bool saveFlag(SettingsFolder& folder, Setting setting, bool on) {
    SettingsLines lines = readSettings(folder);
    if (!lines.readable()) return false;
    std::string text;
    for (std::size_t i = 0; i < lines.all().size(); ++i)
        text +=
            (i == lineOf(setting) ? valueLine(setting, on ? kFlagOn : kFlagOff) : lines.all()[i]) +
            "\r\n";
    return saveText(folder, text);
}

std::optional<double> parseDecimal(const std::string& text) {
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) return std::nullopt;
    std::string number = text.substr(begin, end - begin + 1);
    for (char c : number)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '+' && c != '.')
            return std::nullopt;
    char* stop = nullptr;
    double value = std::strtod(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace caldrift
