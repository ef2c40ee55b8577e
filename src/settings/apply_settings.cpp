#include "settings/apply_settings.h"

#include "common/language.h"
#include "text_ids.h"

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
    window.compressImages(settings.compressImages());
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

std::string notSavedText(const SettingsFolder& folder) {
    std::string text = say(IDS_SETTINGS_NOT_SAVED);
    if (std::string reason = folder.failureReason(); !reason.empty())
        text += "\n" + say(IDS_SYSTEM_REASON, {reason});
    return text;
}

}  // namespace caldrift
