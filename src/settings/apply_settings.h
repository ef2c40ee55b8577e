#pragma once
#include <optional>
#include <string>

#include "settings/settings_file.h"
#include "settings/start_with_windows.h"

namespace caldrift {

// What the settings change on the drop window.
class DropWindowSettings {
public:
    virtual ~DropWindowSettings() = default;
    virtual void startAutomaticDetection() = 0;
    // Stops detection; the drive indicator keeps its caption when there is none.
    virtual void useFixedDrive(const std::optional<std::string>& drive) = 0;
    virtual void showFirmwareLine(const std::string& line) = 0;
    virtual void setOpacity(int opacity) = 0;
    virtual void compressImages(bool always) = 0;
};

// The controls of the settings dialog that the file fills.
class SettingsDialogControls {
public:
    virtual ~SettingsDialogControls() = default;
    virtual void setAutomaticDrive(bool automatic) = 0;
    // Chooses the saved fixed drive ("E:") in the drive list, when it is there.
    virtual void setDrive(const std::string& drive) = 0;
    virtual void setFirmware(const std::string& version) = 0;
    virtual void setStartWithWindows(bool on) = 0;
    virtual void setSliderPosition(int position) = 0;
};

// Applies the file to the drop window and the Run value. A file that could
// not be read leaves the Run value as it is.
void loadconf(const SettingsLines& settings, DropWindowSettings& window, Registry& registry,
              const ProgramLocation& program);

void readconf(const SettingsLines& settings, SettingsDialogControls& dialog);

// What the user is told when Setting.INI could not be saved, with the system's reason.
std::string notSavedText(const SettingsFolder& folder);

}  // namespace caldrift
