#include "settings/settings_file.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/rounding.h"
#include "common/utf8.h"

namespace caldrift {

namespace {
constexpr std::size_t kReadLineCount = 7;
}  // namespace

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
    std::vector<std::string> shippedLines = readLines(kShippedSettings);
    lines_.resize(kReadLineCount);
    for (std::size_t i = 0; i < kReadLineCount; ++i) {
        bool isValueLine = i == 1 || i == 2 || i == 5 || i == 6;
        if (isValueLine && lines_[i].find('=') == std::string::npos) lines_[i] = shippedLines[i];
    }
}

SettingsLines SettingsLines::shipped() { return SettingsLines(readLines(kShippedSettings)); }

SettingsLines SettingsLines::unreadable() {
    SettingsLines lines = shipped();
    lines.readable_ = false;
    return lines;
}

std::optional<std::string> SettingsLines::fixedDrive() const {
    std::optional<std::string> value = valueCut(drive());
    if (value)
        for (char& c : *value) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return value;
}

std::optional<double> SettingsLines::transparencyNumber() const {
    std::optional<std::string> value = valueCut(transparency());
    return value ? parseDecimal(*value) : std::nullopt;
}

std::optional<std::int32_t> SettingsLines::sliderPosition() const {
    std::optional<double> number = transparencyNumber();
    if (!number) return std::nullopt;
    double rounded = roundHalfToEven(*number);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<int> SettingsLines::opacity() const {
    std::optional<double> number = transparencyNumber();
    if (!number) return std::nullopt;
    double sum = roundHalfToEven(*number + kOpacityOfSliderZero);
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<int>(sum);
}

std::string settingsText(const SettingsForm& form) {
    std::string text = "[PSP Setting]\r\n";
    text += form.automaticDrive ? "Drive = AUTO" : "Drive = " + form.drive;
    text += "\r\nPSP Versione = " + form.firmware + "\r\n";
    text += "\r\n[APP Setting]\r\n";
    text += std::string("Startup = ") + (form.startWithWindows ? "1" : "0") + "\r\n";
    text += "Trasparenza = " + std::to_string(form.transparency) + "\r\n";
    return text;
}

SettingsLines readSettings(SettingsFolder& folder) {
    std::optional<std::string> text = folder.read(kSettingsFileName);
    if (text) return SettingsLines(readLines(*text));
    return folder.exists(kSettingsFileName) ? SettingsLines::unreadable()
                                            : SettingsLines::shipped();
}

bool saveSettings(SettingsFolder& folder, const SettingsForm& form) {
    const std::string fresh = std::string(kSettingsFileName) + ".new";
    if (folder.write(fresh, settingsText(form)) && folder.replace(fresh, kSettingsFileName))
        return true;
    folder.remove(fresh);
    return false;
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
