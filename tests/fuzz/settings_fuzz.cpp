// Setting.INI as anything a disk can hold: reading it never fails, what the
// readers take from it stays within what the program can apply, the Run key is
// opened and closed in pairs, and what the dialog saves reads back the same.
#include <cstdlib>

#include "../core/fakes.h"

using namespace caldrift;
using namespace caldrift::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SettingsLines settings(readLines(std::string(reinterpret_cast<const char*>(data), size)));
    FakeDropWindow window;
    FakeRegistry registry;
    FakeDialog dialog;
    loadconf(settings, window, registry, {"C:\\Caldrift.exe", {}});
    readconf(settings, dialog);
    if (window.opacity && (*window.opacity < -32768 || *window.opacity > 32767)) std::abort();
    SettingsForm form{settings.automaticDrive(), "", settings.firmwareVersion().value_or("1.00"),
                      settings.startWithWindows(), settings.sliderPosition().value_or(100) % 101};
    SettingsLines saved(readLines(settingsText(form)));
    if (!registry.balanced() || saved.automaticDrive() != form.automaticDrive ||
        saved.startWithWindows() != form.startWithWindows ||
        saved.sliderPosition() != form.transparency)
        std::abort();
    return 0;
}
