#include "settings/apply_settings.h"

namespace caldrift {

void loadconf(const SettingsLines& settings, DropWindowSettings& window, Registry& registry,
              const ProgramLocation& program) {
    if (settings.automaticDrive())
        window.startAutomaticDetection();
    else
        window.useFixedDrive(settings.fixedDrive());
    window.showFirmwareLine(settings.firmware());
    if (settings.readable()) writeRunValue(registry, program, settings.startWithWindows());
    if (std::optional<int> opacity = settings.opacity()) window.setOpacity(*opacity);
}

void readconf(const SettingsLines& settings, SettingsDialogControls& dialog) {
    dialog.setAutomaticDrive(settings.automaticDrive());
    std::optional<std::string> drive = settings.fixedDrive();
    if (!settings.automaticDrive() && drive) dialog.setDrive(*drive);
    if (std::optional<std::string> version = settings.firmwareVersion())
        dialog.setFirmware(*version);
    dialog.setStartWithWindows(settings.startWithWindows());
    if (std::optional<std::int32_t> position = settings.sliderPosition())
        dialog.setSliderPosition(*position);
}

}  // namespace caldrift
